// Values of the Linking Parameters form's lists that are no entry of the delivered choice
// list: loaded or typed, shown and written back exactly as they stand, or refused with the
// rule a run applies.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>

#include "params/choice_list.h"
#include "params/linking_parameters_form.h"
#include "params/token_reader.h"

namespace {

ChoiceList deliveredChoices() {
  std::ifstream in(std::string(TORVAK_SOURCE_DIR) + "/resources/dlginip.tvk");
  return readChoiceList(in);
}

// A complete grid run in which line replaces the line of its key; the item files hold one
// slope per dimension.
std::string runText(const std::string& line) {
  const std::string key = line.substr(0, line.find('=') + 1);
  int d = 1;
  if (key == "Theta_Dimension=" && !parseIntToken(line.substr(key.size() + 1), d)) d = 1;
  const std::string format = std::string(std::clamp(d, 1, 25), 'A') + "DC";
  std::string text =
      "Model_Type= 3\nParameterization= 1\nTheta_Dimension= 1\nNumber_Of_Grid= 11\n"
      "Range_Begin= -4.0\nRange_End= 4.0\nFrom_Column_Format= " +
      format + "\nTo_Column_Format= " + format +
      "\n$Data_Files 1= f.dat t.dat\n[Other Parameters]\n";
  const auto at = text.find(key);
  return text.replace(at, text.find('\n', at) - at, line);
}

LinkingParametersForm loaded(const std::string& text, FormLoadResult* result = nullptr) {
  LinkingParametersForm form(deliveredChoices(), "run.ini");
  std::istringstream in(text);
  const FormLoadResult r = form.load(in, "run.ini");
  if (result != nullptr) *result = r;
  return form;
}

std::string text(const Refusal& refusal) { return refusal ? refusal->text : "(none)"; }

}  // namespace

TEST(LinkingParametersFormValues, ValuesOutsideTheListsAreShownAndWrittenAsTheyStand) {
  struct Case {
    std::string line;     // as the file holds it
    std::string shown;    // the list's selected text
    std::string written;  // the line saving writes
  } cases[] = {
      {"Theta_Dimension= 11", "11", "Theta_Dimension= 11"},
      {"Theta_Dimension= 02", "02", "Theta_Dimension= 02"},
      {"Theta_Dimension= 1", "1", "Theta_Dimension= 1"},  // not the later "10"
      {"Number_Of_Grid= 25", "25", "Number_Of_Grid= 25"},
      {"Number_Of_Grid= 2", "2", "Number_Of_Grid= 2"},  // not "21"
      {"Range_End= 3.7", "3.7", "Range_End= 3.7"},
      {"Range_Begin= -4.00", "-4.00", "Range_Begin= -4.00"},
      {"Range_Begin= -4", "-4.0", "Range_Begin= -4.0"},  // a whole number gets ".0"
      {"Range_Begin= -3E0", "-3E0", "Range_Begin= -3E0"},
      {"Model_Type= 2", "2", "Model_Type= 2"},
      {"Model_Type= 03", "03", "Model_Type= 03"},  // "3" is listed, "03" is not
      {"Parameterization= 7", "7", "Parameterization= 7"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    FormLoadResult result;
    const LinkingParametersForm form = loaded(runText(c.line), &result);
    ASSERT_EQ(result.kind, FormLoadResult::Loaded);
    const ListChoice* lists[] = {&form.dimension, &form.gridPoint, &form.rangeBegin,
                                 &form.rangeEnd,  &form.model,     &form.parameterization};
    const auto key = c.line.substr(0, c.line.find('='));
    const ListChoice& list = *lists[key == "Theta_Dimension"  ? 0
                                    : key == "Number_Of_Grid" ? 1
                                    : key == "Range_Begin"    ? 2
                                    : key == "Range_End"      ? 3
                                    : key == "Model_Type"     ? 4
                                                              : 5];
    EXPECT_EQ(list.text(), c.shown);
    EXPECT_EQ(form.gridPoint.entries.back(), "0");  // the zero choice stays last
    EXPECT_EQ(text(form.checkForSave()), "(none)");
    const std::string saved = formatParameterFile(form.parameterFile());
    EXPECT_NE(saved.find("\n" + c.written + "\n"), std::string::npos) << saved;
  }
}

TEST(LinkingParametersFormValues, ValuesARunRefusesAreNamedAndLeaveTheFormUnnamed) {
  struct Case {
    std::string line;
    FormLoadResult::Kind kind;
    std::string shown;  // what the list keeps
  } cases[] = {
      {"Theta_Dimension= 30", FormLoadResult::ValueRefused, "1"},
      {"Theta_Dimension= 0", FormLoadResult::ValueRefused, "1"},
      {"Number_Of_Grid= -3", FormLoadResult::ValueRefused, "11"},
      {"Theta_Dimension= two", FormLoadResult::HalfRead, "1"},
      {"Model_Type= 3b", FormLoadResult::HalfRead, "3 Test characteristic surface"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    FormLoadResult result;
    // The refused line comes last, on line 12, after a complete run.
    const LinkingParametersForm form =
        loaded(runText("Model_Type= 3") + "[More]\n" + c.line + "\n", &result);
    EXPECT_EQ(result.kind, c.kind);
    ASSERT_EQ(result.messages.size(), 1u);
    const std::string& message = result.messages[0].text;
    const std::string parts[] = {"run.ini: line 12: ", c.line.substr(0, c.line.find('=') + 1),
                                 c.line.substr(c.line.find(' ') + 1), "unnamed"};
    for (const std::string& part : parts) {
      EXPECT_NE(message.find(part), std::string::npos) << message << "\nwants: " << part;
    }
    const ListChoice& list = c.line[0] == 'T'   ? form.dimension
                             : c.line[0] == 'N' ? form.gridPoint
                                                : form.model;
    EXPECT_EQ(list.text(), c.shown);
    EXPECT_EQ(form.settingsPath, "");
  }
}

TEST(LinkingParametersFormValues, TypedValuesAreTakenUnderTheRunsRules) {
  using F = LinkingParametersForm;
  struct Case {
    F::TypedList list;
    std::string typed;
    std::string refusal;  // the start of the message; empty: taken
    std::string shown;
  } cases[] = {
      {F::DimensionList, "11", "", "11"},
      {F::DimensionList, "02", "", "02"},
      {F::DimensionList, "26", "Dimension: \"26\" is not taken: the dimension must be", "1"},
      {F::DimensionList, "2.5", "Dimension: \"2.5\" is not taken", "1"},
      {F::DimensionList, "", "", ""},
      {F::GridPointList, "2", "", "2"},
      {F::GridPointList, "0", "", "0"},
      {F::GridPointList, "-1", "Grid Point: \"-1\" is not taken: the number of grid points", "41"},
      {F::RangeBeginList, "-3.70", "", "-3.70"},
      {F::RangeBeginList, "-3", "", "-3"},  // written as typed: no ".0" added
      {F::RangeEndList, "abc", "Grid Range end: \"abc\" is not taken: a grid range end", "4.0"},
      {F::RangeEndList, "inf", "Grid Range end: \"inf\" is not taken", "4.0"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.typed);
    LinkingParametersForm form(deliveredChoices());
    const std::size_t entries = form.typedList(c.list).entries.size();
    const Refusal refusal = form.enterValue(c.list, c.typed);
    EXPECT_EQ(text(refusal).substr(0, c.refusal.size()), c.refusal);
    EXPECT_EQ(refusal.has_value(), !c.refusal.empty());
    EXPECT_EQ(form.typedList(c.list).text(), c.shown);
    if (refusal) {
      EXPECT_EQ(form.typedList(c.list).entries.size(), entries);
    }
    EXPECT_EQ(form.gridPoint.entries.back(), "0");
  }
  // A typed grid count is a grid choice: the empirical theta file is still the last entry.
  LinkingParametersForm form(deliveredChoices());
  ASSERT_EQ(form.enterValue(F::GridPointList, "25"), std::nullopt);
  form.empiricalName = "e.dat";
  form.fromName = "f.dat";
  form.toName = "t.dat";
  EXPECT_EQ(text(form.addToList()), "If emprical theta file is needed, Set Grid Point to ZERO");
}

TEST(LinkingParametersFormValues, AListWithoutASelectionWritesNoLine) {
  LinkingParametersForm form(deliveredChoices());
  form.dimension.selected = -1;
  form.model.selected = -1;
  form.gridPoint.selected = -1;
  const std::string saved = formatParameterFile(form.parameterFile());
  for (const char* key : {"Theta_Dimension=", "Model_Type=", "Number_Of_Grid="}) {
    EXPECT_EQ(saved.find(key), std::string::npos) << key;
  }
  EXPECT_NE(saved.find("\nParameterization= 1\n"), std::string::npos);
}
