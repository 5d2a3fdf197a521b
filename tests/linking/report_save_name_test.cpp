// What an output window proposes when its report text is saved: never a file a run reads.
#include "linking/report_save_name.h"

#include <gtest/gtest.h>

#include "support/temp_dir.h"

namespace {

std::string parameterFile(const TempDir& dir, const std::string& name, const std::string& report) {
  std::string text = "[Linking_Parameters]\nModel_Type= 1\n";
  if (!report.empty()) text += "Output_File_Type= 1\nOutput_File_Name= " + report + "\n";
  text += "[Data_Files]\n$Data_Files 1= from.dat to.dat\n$Data_Files 2= /abs/f2.dat t2.dat e.dat\n";
  return dir.write(name, text);
}

}  // namespace

TEST(ReportSaveName, FilesReadByRunAreResolvedBesideTheParameterFile) {
  TempDir dir;
  const std::string ini = parameterFile(dir, "run.ini", "");
  EXPECT_EQ(filesReadByRun(ini),
            (std::vector<std::string>{ini, dir.file("from.dat"), dir.file("to.dat"), "/abs/f2.dat",
                                      dir.file("t2.dat"), dir.file("e.dat")}));
  EXPECT_EQ(filesReadByRun(dir.file("missing.ini")),
            std::vector<std::string>{dir.file("missing.ini")});
}

TEST(ReportSaveName, ProposesTheReportFileElseABesideNameNeverAnInput) {
  TempDir dir;
  struct Case {
    const char* report;           // Output_File_Name (empty: none)
    std::vector<std::string> in;  // other files that open runs read
    std::string expected;
  };
  const Case cases[] = {
      {"out/report.txt", {}, dir.file("out/report.txt")},
      {"/tmp/abs-report.txt", {}, "/tmp/abs-report.txt"},
      {"", {}, dir.file("run-report.txt")},
      // The report names the parameter file itself or a data file: not proposed.
      {"run.ini", {}, dir.file("run-report.txt")},
      {"./from.dat", {}, dir.file("run-report.txt")},
      // Another run reads the fall-back name.
      {"", {dir.file("run-report.txt")}, dir.file("run-report-2.txt")},
      {"x.txt", {dir.file("x.txt"), dir.file("run-report.txt")}, dir.file("run-report-2.txt")},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.report);
    const std::string ini = parameterFile(dir, "run.ini", c.report);
    std::vector<std::string> inUse = filesReadByRun(ini);
    inUse.insert(inUse.end(), c.in.begin(), c.in.end());
    EXPECT_EQ(proposedReportName(ini, inUse), c.expected);
  }
}
