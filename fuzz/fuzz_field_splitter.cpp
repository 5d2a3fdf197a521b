// Feeds arbitrary lines to the field splitter of separated-value files under each separator;
// it must end, and with a blank separator give the whitespace words.
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

#include "data/field_splitter.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  static const char kSeparators[] = {' ', ',', ';', '\t'};
  const std::string line(reinterpret_cast<const char*>(data) + 1, size - 1);
  const auto fields = splitFields(line, kSeparators[data[0] % 4]);
  if (data[0] % 4 == 0) {
    std::istringstream words(line);
    std::size_t count = 0;
    for (std::string word; words >> word;) ++count;
    if (count != fields.size()) __builtin_trap();
  }
  return 0;
}
