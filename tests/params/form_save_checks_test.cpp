// The checks before the Linking Parameters form writes a file: every stored value is checked by
// the rule of the reader that takes it in a run, so that nothing fails only once a run reads it.
#include <gtest/gtest.h>

#include <functional>

#include "params/linking_parameters_form.h"
#include "support/temp_dir.h"

namespace {

ChoiceList choices() {
  ChoiceList list;
  list.dimensions = {"1", "2"};
  list.models = {"1 Least squares", "3 Test surface"};
  list.parameterizations = {"1 Plain"};
  list.gridPoints = {"11", "0"};
  list.rangeBegins = {"-4.0"};
  list.rangeEnds = {"4.0"};
  list.fileRoles = {"From", "To", "Empirical"};
  list.formats = {{"Own", "0", "A"}};
  return list;
}

// One dimension, item formats that fit it, a grid: passes every check.
LinkingParametersForm complete() {
  LinkingParametersForm form(choices());
  form.fromFile.columnFormat = form.toFile.columnFormat = "XADC";
  form.pairs = {"f.dat t.dat"};
  return form;
}

std::string text(const Refusal& refusal) { return refusal ? refusal->text : "(none)"; }

}  // namespace

TEST(LinkingParametersFormSaveChecks, FormatsAndSearchTextsAreCheckedByTheReadersRules) {
  using Change = std::function<void(LinkingParametersForm&)>;
  struct Case {
    const char* name;
    Change change;
    std::string expected;  // a part of the message; "(none)": saved
  } cases[] = {
      {"complete", [](auto&) {}, "(none)"},
      {"skip nothing", [](auto& f) { f.fromFile.rowSkip = "0"; }, "(none)"},
      {"every item kind", [](auto& f) { f.toFile.rowSkip = "{1-2,5,10S2,20S1R3}"; }, "(none)"},
      {"letters", [](auto& f) { f.fromFile.rowSkip = "ABC"; },
       "The From file's format is refused by the reader: row-skip list {ABC}: names no line"},
      {"semicolon", [](auto& f) { f.toFile.rowSkip = "1;5"; },
       "The To file's format is refused by the reader: row-skip list {1;5}: item 1 is followed "
       "by ';'"},
      {"small s", [](auto& f) { f.fromFile.rowSkip = "3s2"; }, "(S and R are capitals)"},
      {"backward range", [](auto& f) { f.fromFile.rowSkip = "5-3"; }, "item 5-3 names no line"},
      {"zero count", [](auto& f) { f.fromFile.rowSkip = "3S0R2"; }, "item 3S0R2 skips no line"},
      {"overflow", [](auto& f) { f.fromFile.rowSkip = "99999999999"; }, "too large"},
      {"no column letter", [](auto& f) { f.fromFile.columnFormat = "ZZ"; },
       "The From file's format is refused by the reader: column format ZZ: 'Z' is no column "
       "letter"},
      {"stray letter", [](auto& f) { f.toFile.columnFormat = "ADCZ"; }, "'Z' is no column letter"},
      {"slopes for another dimension", [](auto& f) { f.fromFile.columnFormat = "AADC"; },
       "column format AADC has 2 A for dimension 1"},
      {"two guessing", [](auto& f) { f.toFile.columnFormat = "ADCC"; }, "has more than one C"},
      {"theta format", [](auto& f) { f.empiricalFile.columnFormat = "TTC"; }, "(none)"},
      {"theta reads nothing", [](auto& f) { f.empiricalFile.columnFormat = "?T"; },
       "The empirical theta file's format is refused"},
      {"bad tolerance",
       [](auto& f) {
         f.Search_Method = 1;
         f.toleranceText = "small";
       },
       "Search: Tolerance \"small\" is not a number"},
      {"bad step length",
       [](auto& f) {
         f.Search_Method = 2;
         f.stepLengthText = "1,5";
       },
       "Search: Initial Step Length \"1,5\" is not a number"},
      {"texts of the built-in search are not written",
       [](auto& f) {
         f.Search_Method = 0;
         f.toleranceText = "small";
       },
       "(none)"},
      {"search numbers",
       [](auto& f) {
         f.Search_Method = 1;
         f.toleranceText = "1e-6";
       },
       "(none)"},
      {"carried text", [](auto& f) { f.outputFile.rowSkip = "two words"; },
       "Other_File_2 can't contain blanks"},
      {"list entry of dlginip.tvk", [](auto& f) { f.dimension.entries[0] = "30"; },
       "The Dimension \"30\" is refused: the dimension must be a whole number from 1 to 25"},
  };
  for (const Case& c : cases) {
    LinkingParametersForm form = complete();
    c.change(form);
    const std::string message = text(form.checkForSave());
    if (c.expected == "(none)") {
      EXPECT_EQ(message, "(none)") << c.name;
    } else {
      EXPECT_NE(message.find(c.expected), std::string::npos) << c.name << ": " << message;
    }
  }
}

TEST(LinkingParametersFormSaveChecks, SaveShownFormatRefusesWhatTheReaderRefuses) {
  LinkingParametersForm form = complete();
  form.pickFile.selected = LinkingParametersForm::To;
  form.rowText = "abc";
  form.columnText = "xadc";
  EXPECT_EQ(text(form.saveShownFormat()).substr(0, 50),
            "The format is not stored: row-skip list {ABC}: nam");
  EXPECT_EQ(form.toFile.rowSkip, "");
  form.rowText = "1-2";
  form.columnText = "zz";
  EXPECT_NE(text(form.saveShownFormat()).find("column format ZZ"), std::string::npos);
  EXPECT_EQ(form.toFile.columnFormat, "XADC");
  // The count of slopes waits for the save, when the dimension is settled.
  form.columnText = "xaadc";
  EXPECT_EQ(form.saveShownFormat(), std::nullopt);
  EXPECT_EQ(form.toFile.rowSkip + " " + form.toFile.columnFormat, "1-2 XAADC");
}

TEST(LinkingParametersFormSaveChecks, TheReportFilesFolderMustExist) {
  TempDir dir;
  const std::string target = dir.file("run.ini");
  struct Case {
    std::string report;
    bool refused;
  } cases[] = {
      {"", false},
      {"report.txt", false},  // beside the parameter file
      {dir.file("report.txt"), false},
      {"out/report.txt", true},  // taken from the parameter file's folder
      {dir.file("missing/report.txt"), true},
  };
  for (const Case& c : cases) {
    LinkingParametersForm form = complete();
    form.reportName = c.report;
    const Refusal refusal = form.checkTarget(target);
    EXPECT_EQ(refusal.has_value(), c.refused) << c.report;
    if (refusal) {
      EXPECT_EQ(refusal->caption, "Can't open output file");
      EXPECT_EQ(refusal->text.rfind(
                    "The folder of the report file does not exist:\n" + dir.path().string(), 0),
                0u)
          << refusal->text;
    }
  }
}
