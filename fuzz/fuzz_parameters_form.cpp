// Feeds arbitrary bytes to the choice-list reader and, with the choices read, to the Linking
// Parameters form's loader; both must end, and whatever the form took must pass through its
// checks and writer without fault.
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

#include "params/choice_list.h"
#include "params/linking_parameters_form.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  const std::size_t half = text.find('\0');
  std::istringstream choiceText(text.substr(0, half));
  const ChoiceList choices = readChoiceList(choiceText);
  LinkingParametersForm form(choices, "fuzz.ini");
  std::istringstream parameterText(half == std::string::npos ? text : text.substr(half + 1));
  form.load(parameterText, "fuzz.ini");
  for (int role = 0; role < 3; ++role) {
    form.pickFile.selected = form.pickFile.entries.empty() ? -1 : role % form.pickFile.entries.size();
    form.type.selected = form.type.entries.empty() ? -1 : role % form.type.entries.size();
    form.showFormat();
  }
  form.closeGridPoint();
  if (!form.checkForSave()) formatParameterFile(form.parameterFile());
  return 0;
}
