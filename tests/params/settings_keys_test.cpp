#include "params/settings_keys.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

// Applies every token of text the way the readers do; returns the first refusal, else the
// outcome of the last key.
KeyOutcome applyAll(const std::string& text, LinkingSettings& s) {
  std::istringstream in(text);
  TokenReader reader(in);
  std::string token;
  KeyOutcome last;
  while (reader.next(token)) {
    KeyOutcome outcome = applySettingsKey(token, reader, s);
    if (outcome.kind == KeyOutcome::BadValue) return outcome;
    if (outcome.kind != KeyOutcome::NotAKey) last = outcome;
  }
  return last;
}

}  // namespace

TEST(SettingsKeys, EveryKeyFillsItsField) {
  LinkingSettings s;
  applyAll(
      "Theta_Dimension= 2 Model_Type= 3 Parameterization= 2 Output_File_Type= 0 "
      "Output_File_Name= out.txt Weighing_Method= 1 Number_Of_Grid= 11 Range_Begin= -3.5 "
      "Range_End= 3.5 Emp_Column_Format= TT Emp_Row_Skip= {1} From_File_Type= -1 "
      "From_Row_Skip= {1-2} From_Column_Format= XAAD To_File_Type= 1 To_Row_Skip= {3S2R1} "
      "to_column_format= AAD Tolerance= 1e-6 Number_Change_Direction= 9 Number_Step= 5 "
      "Initial_Step_Length= 0.5 Search_Method= 2 Other_File_1= one Other_File_2= two",
      s);
  EXPECT_EQ(s.Theta_Dimension, 2);
  EXPECT_EQ(s.Model_Type, 3);
  EXPECT_EQ(s.Parameterization, 2);
  EXPECT_EQ(s.outputFile.fileType, 0);
  EXPECT_EQ(s.outputFile.name, "out.txt");
  EXPECT_EQ(s.Weighing_Method, 1);
  EXPECT_EQ(s.Number_Of_Grid, 11);
  EXPECT_EQ(s.Range_Begin, -3.5);
  EXPECT_EQ(s.Range_End, 3.5);
  EXPECT_EQ(s.empiricalFile.columnFormat, "TT");
  EXPECT_EQ(s.empiricalFile.rowSkip, "{1}");
  EXPECT_EQ(s.empiricalFile.fileType, -1);
  EXPECT_EQ(s.fromFile.fileType, -1);
  EXPECT_EQ(s.fromFile.rowSkip, "{1-2}");
  EXPECT_EQ(s.fromFile.columnFormat, "XAAD");
  EXPECT_EQ(s.toFile.fileType, 1);
  EXPECT_EQ(s.toFile.rowSkip, "{3S2R1}");
  EXPECT_EQ(s.toFile.columnFormat, "AAD");
  EXPECT_EQ(s.Tolerance, 1e-6);
  EXPECT_EQ(s.Number_Change_Direction, 9);
  EXPECT_EQ(s.Number_Step, 5);
  EXPECT_EQ(s.Initial_Step_Length, 0.5);
  EXPECT_EQ(s.Search_Method, 2);
  EXPECT_EQ(s.outputFile.columnFormat, "one");
  EXPECT_EQ(s.outputFile.rowSkip, "two");
}

TEST(SettingsKeys, LastOccurrenceWinsWhateverItsCase) {
  LinkingSettings s;
  applyAll("Model_Type= 3 [Other Section] MODEL_TYPE= 4", s);
  EXPECT_EQ(s.Model_Type, 4);
}

TEST(SettingsKeys, ShortRowSkipValuesAreCleared) {
  LinkingSettings s;
  applyAll("From_Row_Skip= {1} From_Row_Skip= {} To_Row_Skip= 7", s);
  EXPECT_EQ(s.fromFile.rowSkip, "");
  EXPECT_EQ(s.toFile.rowSkip, "");
}

TEST(SettingsKeys, GridReadAfterAnEmpiricalNameBecomesZero) {
  LinkingSettings s;
  s.empiricalFile.name = "theta.txt";
  applyAll("Number_Of_Grid= 11", s);
  EXPECT_EQ(s.Number_Of_Grid, 0);
}

TEST(SettingsKeys, NonKeysAndGluedValuesAreNotRead) {
  LinkingSettings s;
  std::istringstream in("Model_Type=3 5");
  TokenReader reader(in);
  std::string token;
  ASSERT_TRUE(reader.next(token));
  EXPECT_EQ(applySettingsKey(token, reader, s).kind, KeyOutcome::NotAKey);
  ASSERT_TRUE(reader.next(token));  // the reader was not moved on
  EXPECT_EQ(token, "5");
  EXPECT_EQ(s.Model_Type, 0);
}

TEST(SettingsKeys, BadNumberNamesKeyWordAndLine) {
  LinkingSettings s;
  std::istringstream in("[REDevar Parameters]\nModel_Type= 3\nrange_begin= -4,0\n");
  TokenReader reader(in);
  std::string token;
  KeyOutcome outcome;
  while (reader.next(token) && outcome.kind != KeyOutcome::BadValue) {
    outcome = applySettingsKey(token, reader, s);
  }
  ASSERT_EQ(outcome.kind, KeyOutcome::BadValue);
  EXPECT_EQ(badValueMessage("run.ini", reader.line(), outcome),
            "run.ini: line 3: range_begin= wants a number, found '-4,0'");
  EXPECT_EQ(s.Range_Begin, 4.0);
}

TEST(SettingsKeys, KeyAtTheEndOfTheFileKeepsItsDefault) {
  for (const char* text : {"Model_Type= 3\nNumber_Step=", "Output_File_Name=\n"}) {
    LinkingSettings s;
    s.outputFile.name = "kept.txt";
    KeyOutcome outcome = applyAll(text, s);
    ASSERT_EQ(outcome.kind, KeyOutcome::NoValue) << text;
    EXPECT_EQ(s.Number_Step, LinkingSettings{}.Number_Step) << text;
    EXPECT_EQ(s.outputFile.name, "kept.txt") << text;
  }
}

TEST(SettingsKeys, DataFilesMarkerIsRecognisedWithoutCase) {
  EXPECT_TRUE(isDataFilesToken("$DATA_FILES"));
  EXPECT_FALSE(isDataFilesToken("$Data_Files1"));
}
