// The separator and one-record-per-line keys through every reader and writer of parameter
// files: the run's key reader, the file writer and the Linking Parameters form.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "params/choice_list.h"
#include "params/linking_parameters_form.h"
#include "params/parameter_file.h"
#include "params/settings_keys.h"
#include "params/token_reader.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;

namespace {

// The first refusal of text, else an empty outcome; s holds what was stored.
KeyOutcome applyAll(const std::string& text, LinkingSettings& s) {
  std::istringstream in(text);
  TokenReader reader(in);
  std::string token;
  while (reader.next(token)) {
    KeyOutcome outcome = applySettingsKey(token, reader, s);
    if (outcome.kind == KeyOutcome::BadValue) return outcome;
  }
  return {};
}

const std::string kExample = (fs::path(TORVAK_SOURCE_DIR) / "examples" / "m1_1d.ini").string();

}  // namespace

TEST(DataFileLayoutKeys, SeparatorValuesAreReadWithoutCaseAndOthersRefused) {
  struct Case {
    std::string value;
    char separator;  // 0: refused
  };
  const Case cases[] = {{"blank", ' '}, {"comma", ','}, {"SEMICOLON", ';'}, {"Tab", '\t'},
                        {",", 0},       {"space", 0},   {"commas", 0},      {"1", 0}};
  for (const Case& c : cases) {
    LinkingSettings s;
    s.toFile.separator = '#';
    const KeyOutcome outcome = applyAll("To_Separator= " + c.value, s);
    if (c.separator == 0) {
      EXPECT_EQ(outcome.kind, KeyOutcome::BadValue) << c.value;
      EXPECT_EQ(badValueMessage("run.ini", 1, outcome),
                "run.ini: line 1: To_Separator= wants blank, comma, semicolon or tab, found '" +
                    c.value + "'");
      EXPECT_EQ(s.toFile.separator, '#');
    } else {
      EXPECT_EQ(outcome.kind, KeyOutcome::NotAKey) << c.value;
      EXPECT_EQ(s.toFile.separator, c.separator) << c.value;
    }
  }
}

TEST(DataFileLayoutKeys, EachFileTakesItsOwnKeysAndRecordPerLineIsZeroOrOne) {
  LinkingSettings s;
  ASSERT_EQ(applyAll("From_Separator= comma Emp_Separator= tab emp_one_record_per_line= 1 "
                     "To_One_Record_Per_Line= 0",
                     s)
                .kind,
            KeyOutcome::NotAKey);
  EXPECT_EQ(s.fromFile.separator, ',');
  EXPECT_EQ(s.toFile.separator, ' ');
  EXPECT_EQ(s.empiricalFile.separator, '\t');
  EXPECT_EQ(s.empiricalFile.oneRecordPerLine, 1);
  EXPECT_EQ(s.fromFile.oneRecordPerLine, 0);
  EXPECT_TRUE(s.fromFile.recordsAreLines());  // a separator makes every line a record
  EXPECT_FALSE(s.toFile.recordsAreLines());

  for (const char* bad : {"2", "-1", "yes"}) {
    LinkingSettings t;
    const KeyOutcome outcome = applyAll(std::string("From_One_Record_Per_Line= ") + bad, t);
    EXPECT_EQ(badValueMessage("run.ini", 3, outcome),
              std::string("run.ini: line 3: From_One_Record_Per_Line= wants 0 or 1, found '") +
                  bad + "'");
  }
}

TEST(DataFileLayoutKeys, WriterAddsTheKeysAfterEachFilesFormatOnlyWhenNotDefault) {
  ParameterFile file;
  file.settings.fromFile = {"", "XAD", "{1}", 0};
  file.settings.toFile = {"", "XAD", "", 0};
  file.settings.empiricalFile.columnFormat = "T";
  const std::string plain = formatParameterFile(file);
  EXPECT_EQ(plain.find("_Separator="), std::string::npos);
  EXPECT_EQ(plain.find("_One_Record_Per_Line="), std::string::npos);

  file.settings.fromFile.separator = ';';
  file.settings.toFile.oneRecordPerLine = 1;
  file.settings.empiricalFile.separator = '\t';
  const std::string text = formatParameterFile(file);
  EXPECT_NE(text.find("From_File_Type= 0 \nFrom_Separator= semicolon\nTo_Column_Format="),
            std::string::npos)
      << text;
  EXPECT_NE(text.find("To_File_Type= 0 \nTo_One_Record_Per_Line= 1\n"), std::string::npos);
  EXPECT_NE(text.find("Emp_Column_Format= T\nEmp_Separator= tab\n"), std::string::npos);

  std::istringstream in(text);
  ParameterFile back;
  ASSERT_TRUE(readParameterFile(in, "run.ini", back).ok);
  EXPECT_EQ(formatParameterFile(back), text);
}

TEST(DataFileLayoutKeys, FormKeepsLoadedKeysWhenSavedAndRefusesABadOne) {
  std::ifstream choiceFile(fs::path(TORVAK_SOURCE_DIR) / "resources" / "dlginip.tvk");
  const ChoiceList choices = readChoiceList(choiceFile);
  const std::string keys =
      "From_Separator= Comma\nTo_Separator= semicolon\nTo_One_Record_Per_Line= 1\n";
  std::string withKeys = readWholeFile(kExample);
  withKeys.insert(withKeys.find("[Minimization"), keys);

  TempDir dir;
  LinkingParametersForm form(choices, dir.file("run.ini"));
  std::istringstream in(withKeys);
  ASSERT_EQ(form.load(in, "run.ini").kind, FormLoadResult::Loaded);
  EXPECT_EQ(form.fromFile.separator, ',');
  ASSERT_EQ(form.checkForSave(), std::nullopt);
  ASSERT_EQ(form.writeFile(dir.file("saved.ini"), true), std::nullopt);
  std::string expected = readWholeFile(kExample);
  expected.replace(expected.find("To_Row_Skip="), 0, "From_Separator= comma\n");
  expected.replace(expected.find("\n[Minimization"), 0,
                   "To_Separator= semicolon\nTo_One_Record_Per_Line= 1\n");
  EXPECT_EQ(readWholeFile(dir.file("saved.ini")), expected);

  LinkingParametersForm refused(choices, "run.ini");
  std::istringstream bad("Emp_Separator= pipe\n");
  const FormLoadResult result = refused.load(bad, "run.ini");
  EXPECT_EQ(result.kind, FormLoadResult::HalfRead);
  ASSERT_FALSE(result.messages.empty());
  EXPECT_NE(result.messages[0].text.find("Emp_Separator= wants blank, comma, semicolon or tab, "
                                         "found 'pipe'"),
            std::string::npos);
}
