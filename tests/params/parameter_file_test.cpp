#include "params/parameter_file.h"

#include <gtest/gtest.h>

#include <sstream>

#include "support/temp_dir.h"

namespace {

ParameterFile readText(const std::string& text, ParameterFileReadResult* result = nullptr) {
  std::istringstream in(text);
  ParameterFile file;
  ParameterFileReadResult r = readParameterFile(in, "run.ini", file);
  if (result != nullptr) *result = r;
  return file;
}

ParameterFile sampleFile() {
  ParameterFile f;
  LinkingSettings& s = f.settings;
  s.Model_Type = 4;
  s.Parameterization = 2;
  s.Theta_Dimension = 2;
  s.outputFile = {"report.txt", "carried-1", "carried-2", 0};
  s.Weighing_Method = 1;
  s.Number_Of_Grid = 0;
  s.Range_Begin = -3.25;
  s.Range_End = 4.0;
  s.fromFile = {"", "XAAD", "{1-2}", -1};
  s.toFile = {"", "aad", "{3S2R1}", 0};
  s.empiricalFile.columnFormat = "TT";
  s.empiricalFile.rowSkip = "{1}";
  s.Search_Method = 1;
  s.Tolerance = 1e-7;
  s.Number_Change_Direction = 20;
  s.Number_Step = 6;
  s.Initial_Step_Length = 0.25;
  f.toleranceText = "1e-7";
  f.stepLengthText = ".25";
  f.pairs = {{"f1.txt", "t1.txt", "th1.txt"}, {"dir/f2.txt", "t2.txt", "th2.txt"}};
  return f;
}

void expectSameSettings(const LinkingSettings& a, const LinkingSettings& b) {
  EXPECT_EQ(a.Parameterization, b.Parameterization);
  EXPECT_EQ(a.Weighing_Method, b.Weighing_Method);
  EXPECT_EQ(a.Range_Begin, b.Range_Begin);
  EXPECT_EQ(a.Range_End, b.Range_End);
  EXPECT_EQ(a.Number_Of_Grid, b.Number_Of_Grid);
  EXPECT_EQ(a.Theta_Dimension, b.Theta_Dimension);
  EXPECT_EQ(a.Model_Type, b.Model_Type);
  EXPECT_EQ(a.Tolerance, b.Tolerance);
  EXPECT_EQ(a.Number_Change_Direction, b.Number_Change_Direction);
  EXPECT_EQ(a.Number_Step, b.Number_Step);
  EXPECT_EQ(a.Initial_Step_Length, b.Initial_Step_Length);
  EXPECT_EQ(a.Search_Method, b.Search_Method);
  for (auto member : {&LinkingSettings::toFile, &LinkingSettings::fromFile,
                      &LinkingSettings::empiricalFile, &LinkingSettings::outputFile}) {
    const DataFileSpec& x = a.*member;
    const DataFileSpec& y = b.*member;
    EXPECT_EQ(x.name, y.name);
    EXPECT_EQ(x.columnFormat, y.columnFormat);
    EXPECT_EQ(x.rowSkip, y.rowSkip);
    EXPECT_EQ(x.fileType, y.fileType);
    EXPECT_EQ(x.separator, y.separator);
    EXPECT_EQ(x.oneRecordPerLine, y.oneRecordPerLine);
  }
}

}  // namespace

TEST(ParameterFile, WrittenFileReadsBackToTheSameSettingsAndPairs) {
  const ParameterFile original = sampleFile();
  const ParameterFile back = readText(formatParameterFile(original));
  expectSameSettings(back.settings, original.settings);
  EXPECT_EQ(back.pairs, original.pairs);
  EXPECT_EQ(back.toleranceText, "1e-7");
  EXPECT_EQ(back.stepLengthText, ".25");
}

TEST(ParameterFile, GridFileWithoutReportOrSearchReadsBack) {
  ParameterFile original;
  original.settings.Model_Type = 1;
  original.settings.Theta_Dimension = 1;
  original.settings.Number_Of_Grid = 11;
  original.settings.Range_Begin = -4;
  original.settings.Range_End = 4;
  original.settings.fromFile.columnFormat = "AD";
  original.settings.toFile.columnFormat = "AD";
  original.pairs = {{"a.txt", "b.txt", ""}, {"c.txt", "d.txt", ""}};
  const std::string text = formatParameterFile(original);
  EXPECT_EQ(text.find("Output_File"), std::string::npos);
  EXPECT_EQ(text.find("Search_Method"), std::string::npos);
  EXPECT_NE(text.find("\nRange_Begin= -4.0\nRange_End= 4.0\n"), std::string::npos);
  const ParameterFile back = readText(text);
  expectSameSettings(back.settings, original.settings);
  EXPECT_EQ(back.pairs, original.pairs);
}

TEST(ParameterFile, LayoutUsesLfBracesAndTheEntryNumbers) {
  ParameterFile f = sampleFile();
  f.settings.fromFile.rowSkip = "1-2";  // braces are added when missing
  const std::string text = formatParameterFile(f);
  EXPECT_EQ(text.find('\r'), std::string::npos);
  EXPECT_EQ(text.rfind("[REDevar Parameters]\nModel_Type= 4\nParameterization= 2\n"
                       "Theta_Dimension= 2\nOutput_File_Type= 0\nOutput_File_Name=  report.txt\n"
                       "\n[Integral Parameter]\n",
                       0),
            0u);
  EXPECT_NE(text.find("\nFrom_Row_Skip= {1-2}\nFrom_Column_Format= XAAD\nFrom_File_Type= -1 \n"),
            std::string::npos);
  EXPECT_NE(text.find("\n$Data_Files 1= f1.txt t1.txt th1.txt\n"
                      "$Data_Files 2= dir/f2.txt t2.txt th2.txt\n\n[Other Parameters]\n"),
            std::string::npos);
  EXPECT_NE(text.find("Search_Method= 1 \n"), std::string::npos);
  EXPECT_TRUE(text.ends_with("Other_File_2= carried-2\n\n"));
}

TEST(ParameterFile, EmptyMinimizationTextsAreLeftOut) {
  ParameterFile f = sampleFile();
  f.toleranceText.clear();
  f.stepLengthText.clear();
  const std::string text = formatParameterFile(f);
  EXPECT_EQ(text.find("Tolerance="), std::string::npos);
  EXPECT_EQ(text.find("Initial_Step_Length="), std::string::npos);
  ParameterFileReadResult result;
  const ParameterFile back = readText(text, &result);
  EXPECT_TRUE(result.ok) << result.message;
  EXPECT_EQ(back.settings.Number_Step, 6);
}

TEST(ParameterFile, HeadersAndStrayTokensAreSkippedAndTheLastValueNeedsNoLineEnd) {
  const ParameterFile f =
      readText("[REDevar Parameters]\nModel_Type= 3 stray\n[Other Parameters]\nOther_File_2= tail");
  EXPECT_EQ(f.settings.Model_Type, 3);
  EXPECT_EQ(f.settings.outputFile.rowSkip, "tail");
}

TEST(ParameterFile, CrLfReadsLikeLf) {
  const std::string lf = formatParameterFile(sampleFile());
  std::string crlf;
  for (char c : lf) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
  const ParameterFile a = readText(lf);
  const ParameterFile b = readText(crlf);
  expectSameSettings(a.settings, b.settings);
  EXPECT_EQ(a.pairs, b.pairs);
  EXPECT_EQ(b.toleranceText, "1e-7");
}

TEST(ParameterFile, EntriesTakeAnEmpiricalNameOnlyWhenOneFollows) {
  const ParameterFile f = readText(
      "$Data_Files 1= f1 t1 $data_files 7= f2 t2 e2\n$Data_Files 3= f3 t3\n[Other Parameters]\n"
      "$Data_Files 4= f4 t4");
  const std::vector<DataFilePair> expected{
      {"f1", "t1", ""}, {"f2", "t2", "e2"}, {"f3", "t3", ""}, {"f4", "t4", ""}};
  EXPECT_EQ(f.pairs, expected);
}

TEST(ParameterFile, EntryCutShortByTheEndOfTheFileIsDropped) {
  EXPECT_EQ(readText("$Data_Files 1= f1 t1\n$Data_Files 2= f2").pairs.size(), 1u);
  EXPECT_EQ(readText("$Data_Files").pairs.size(), 0u);
}

TEST(ParameterFile, BadNumberStopsReadingWithFileLineKeyAndWord) {
  ParameterFileReadResult result;
  const ParameterFile f =
      readText("Model_Type= 3\n\nTheta_Dimension= two\nModel_Type= 4\n", &result);
  EXPECT_FALSE(result.ok);
  EXPECT_EQ(result.message, "run.ini: line 3: Theta_Dimension= wants a number, found 'two'");
  EXPECT_EQ(f.settings.Model_Type, 3);
  readText("Tolerance= nan", &result);
  EXPECT_FALSE(result.ok);
}

TEST(ParameterFile, WriteReplacesTheOldFile) {
  TempDir dir;
  const std::string path = dir.write("run.ini", "old content, longer than nothing");
  EXPECT_EQ(writeParameterFile(path, sampleFile()), "");
  EXPECT_EQ(readWholeFile(path), formatParameterFile(sampleFile()));
}
