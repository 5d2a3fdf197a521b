#include "report/report_writer.h"

#include "linking/pair_report.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "support/scripted_run_host.h"
#include "support/temp_dir.h"

namespace {

const std::string kRule = "**********************************************";

RunSettings gridSettings() {
  RunSettings s;
  s.reset();
  s.fromFile = {"C:\\data\\form1.dat", "AD", "", 1};
  s.toFile = {"form2.dat", "AD", "", 1};
  s.Number_Of_Grid = 11;
  s.Range_Begin = -4.0;
  s.Range_End = 4.0;
  s.Theta_Dimension = 1;
  s.Model_Type = 1;
  s.pointCount = 11;
  s.itemCount = 40;
  return s;
}

struct Fixture {
  TempDir dir;
  std::shared_ptr<ScriptedRunHost> sharedHost = std::make_shared<ScriptedRunHost>();
  ScriptedRunHost& host = *sharedHost;
  LinkingJob job;
  RunSettings s = gridSettings();
  Fixture() {
    job.host = sharedHost;
    s.job = &job;
  }
};

const double kBlock[] = {0.5, -0.5};

}  // namespace

TEST(ReportLayout, FileBlockMatchesTheDocumentedExample) {
  const RunSettings s = gridSettings();
  EXPECT_EQ(formatReportFileBlock(reportedPair(s, 0.00123, kBlock)),
            "form1.dat(1),form2.dat(1),Ing:Grid[-4,4];W(0),T#:11,TD#:1,I#:40,M:1,P:1 \n"
            "1.230000e-03 0.500000 -0.500000 \n" +
                kRule + "\n");
}

TEST(ReportLayout, WindowBlockHasNoColonsAfterCountsAndCrLfLineEnds) {
  const RunSettings s = gridSettings();
  EXPECT_EQ(formatReportWindowBlock(reportedPair(s, 0.00123, kBlock)),
            "form1.dat(1),form2.dat(1),Ing:Grid[-4.00,4.00];W(0),T#:11,TD#1,I#40,M:1,P:1"
            "\r\n1.230000e-03 0.500000 -0.500000 \r\n" +
                kRule + "\r\n");
}

TEST(ReportLayout, EmpiricalRunShowsThetaFileBaseNameAndConversionProblem) {
  RunSettings s = gridSettings();
  s.Number_Of_Grid = 0;
  s.empiricalFile.name = "C:\\e\\theta.txt";
  s.Weighing_Method = 1;
  s.conversionProblems = 1;
  EXPECT_EQ(formatReportFileBlock(reportedPair(s, 2.5, kBlock)),
            "form1.dat(1),form2.dat(1),Ing:theta.txt;W(1),T#:11,TD#:1,I#:40,M:1,P:1 \n"
            "2.500000e+00 0.500000 -0.500000 \nConvert F Problems (only if nonzero): 1\n" +
                kRule + "\n");
  EXPECT_EQ(formatReportWindowBlock(reportedPair(s, 2.5, kBlock)),
            "form1.dat(1),form2.dat(1),Ing:theta.txt;W(1),T#:11,TD#1,I#40,M:1,P:1"
            "\r\n2.500000e+00 0.500000 -0.500000 \r\nConvert F Problems (only if nonzero): 1"
            "\r\n" +
                kRule + "\r\n");
}

TEST(ReportLayout, BaseNameTakesTextAfterEitherSeparator) {
  EXPECT_EQ(reportBaseName("/data/run/form1.dat"), "form1.dat");
  EXPECT_EQ(reportBaseName("C:\\data\\form1.dat"), "form1.dat");
  EXPECT_EQ(reportBaseName("form1.dat"), "form1.dat");
  EXPECT_EQ(reportBaseName("\\form1.dat"), "\\form1.dat");
}

TEST(ReportFile, ReplaceModeReplacesOnFirstBlockThenAppends) {
  Fixture f;
  f.s.outputFile.name = f.dir.write("report.txt", "old contents\n");
  f.s.outputFile.fileType = 1;
  reportPair(f.s, 0.00123, kBlock);
  reportPair(f.s, 0.00123, kBlock);
  const std::string block = formatReportFileBlock(reportedPair(f.s, 0.00123, kBlock));
  EXPECT_EQ(readWholeFile(f.s.outputFile.name), block + block);
  EXPECT_EQ(f.host.report, formatReportWindowBlock(reportedPair(f.s, 0.00123, kBlock)) +
                               formatReportWindowBlock(reportedPair(f.s, 0.00123, kBlock)));
}

TEST(ReportFile, AppendModeKeepsExistingContents) {
  Fixture f;
  f.s.outputFile.name = f.dir.write("report.txt", "old contents\n");
  f.s.outputFile.fileType = 0;
  reportPair(f.s, 0.00123, kBlock);
  reportPair(f.s, 0.00123, kBlock);
  const std::string block = formatReportFileBlock(reportedPair(f.s, 0.00123, kBlock));
  EXPECT_EQ(readWholeFile(f.s.outputFile.name), "old contents\n" + block + block);
}

// Without Output_File_Type the first block replaces the report; later ones must not replace
// it again, or a run of several pairs would keep only its last block.
TEST(ReportFile, AbsentFileTypeReplacesOnlyOnce) {
  Fixture f;
  f.s.outputFile.name = f.dir.write("report.txt", "old contents\n");
  ASSERT_EQ(f.s.outputFile.fileType, -1);
  reportPair(f.s, 1.0, kBlock);
  reportPair(f.s, 2.0, kBlock);
  EXPECT_EQ(readWholeFile(f.s.outputFile.name),
            formatReportFileBlock(reportedPair(f.s, 1.0, kBlock)) + formatReportFileBlock(reportedPair(f.s, 2.0, kBlock)));
}

TEST(ReportFile, UnwritableReportNamesTheReportPathAndStillFillsTheWindow) {
  Fixture f;
  f.s.settingsPath = "/somewhere/run.ini";
  f.s.outputFile.name = f.dir.file("missing-folder/report.txt");
  reportPair(f.s, 1.0, kBlock);
  ASSERT_EQ(f.host.messages.size(), 1u);
  EXPECT_EQ(f.host.messages[0].text, f.s.outputFile.name);
  EXPECT_EQ(f.host.messages[0].caption, "Can't open output file");
  EXPECT_EQ(f.host.beeps, 1);
  EXPECT_EQ(f.host.report, formatReportWindowBlock(reportedPair(f.s, 1.0, kBlock)));
}

TEST(ReportFile, NoReportNameStillFillsTheWindowAndNoWindowStillWritesTheFile) {
  Fixture f;
  reportPair(f.s, 1.0, kBlock);
  EXPECT_EQ(f.host.report, formatReportWindowBlock(reportedPair(f.s, 1.0, kBlock)));
  EXPECT_TRUE(f.host.messages.empty());

  Fixture g;
  g.host.outputView = false;
  g.s.outputFile.name = g.dir.file("report.txt");
  reportPair(g.s, 1.0, kBlock);
  EXPECT_EQ(g.host.report, "");
  EXPECT_EQ(readWholeFile(g.s.outputFile.name), formatReportFileBlock(reportedPair(g.s, 1.0, kBlock)));
}
