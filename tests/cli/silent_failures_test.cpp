// Runs that used to end with "Linking Done" and exit 0 with a wrong result or none: each now
// ends with a warning or an error, an exit status a script can tell apart, and no block that
// was not asked for.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "support/link_process.h"
#include "support/linking_fixture.h"
#include "support/report_blocks.h"

namespace {

struct Case {
  const char* name;
  std::vector<std::string> keys;     // replace the typical Model 1 keys when not empty
  std::vector<std::string> extra;    // added after them
  std::vector<std::string> entries;  // data-file entries
  const char* options;
  int exitCode;
  std::vector<std::string> errHas;  // texts standard error must hold
  int blocks;                       // report blocks written to the report file
};

std::vector<std::string> keysWith(const std::string& from, const std::string& to) {
  std::vector<std::string> keys = gridKeys(1, 1, 11, "AD");
  std::replace(keys.begin(), keys.end(), from, to);
  return keys;
}

}  // namespace

TEST(SilentFailures, EachEndsWithAWordAndAnHonestExitStatus) {
  const std::vector<std::string> one{"1= from.txt to.txt"};
  const std::vector<Case> cases{
      {"clean run", {}, {}, one, "", 0, {"Linking Done: "}, 1},
      {"misspelt key",
       keysWith("Model_Type= 1", "Modle_Type= 1"),
       {},
       one,
       "",
       72,
       {"line 2: 'Modle_Type=' is not a key that is read; did you mean 'Model_Type='?",
        "nothing was linked: Model_Type is 0"},
       0},
      {"key and value in one word",
       keysWith("Model_Type= 1", "Model_Type=1"),
       {},
       one,
       "",
       72,
       {"'Model_Type=1' is not read", "write 'Model_Type= 1'", "nothing was linked"},
       0},
      {"lone equals sign",
       keysWith("Model_Type= 1", "model_type = 1"),
       {},
       one,
       "",
       72,
       {"'=' stands alone", "'Model_Type='"},
       0},
      {"model that links nothing",
       keysWith("Model_Type= 1", "Model_Type= 2"),
       {},
       one,
       "",
       72,
       {"nothing was linked: Model_Type is 2; only 1, 3 and 4 link"},
       0},
      {"no data-file entry", {}, {}, {}, "", 1, {"Incorrect Parameter Setting"}, 0},
      {"misspelt entry marker",
       {},
       {"$Data_File 2= from.txt to.txt"},
       one,
       "",
       0,
       {"'2=' is an entry number without \"$Data_Files\" before it"},
       1},
      {"pairs skipped",
       {},
       {},
       {"1= from.txt to.txt", "2= from.txt gone.txt", "3= gone.txt to.txt"},
       "--on-problem=continue",
       73,
       {"No such file: ", "2 of 3 pairs failed and were skipped (entries 2, 3)"},
       1},
      {"every pair skipped",
       {},
       {},
       {"1= bad.txt to.txt"},
       "--on-problem=continue",
       72,
       {"Faulty data file: ", "nothing was linked: every pair failed and was skipped"},
       0},
      {"every later pair skipped",
       {},
       {},
       {"1= from.txt to.txt", "2= from.txt gone.txt"},
       "--on-problem=continue",
       73,
       {"1 of 2 pairs failed and were skipped (entries 2)"},
       1},
      {"report in a missing folder",
       keysWith("Output_File_Name= report.txt", "Output_File_Name= nowhere/report.txt"),
       {},
       one,
       "",
       74,
       {"Can't open output file: ", "1 report block(s) could not be written"},
       0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    LinkingFixture f;
    f.writeWorkedExample();
    f.dir.write("bad.txt", "1 0\n2 zero\n");  // counts two items; its second word fails
    std::vector<std::string> keys = c.keys.empty() ? gridKeys(1, 1, 11, "AD") : c.keys;
    keys.insert(keys.end(), c.extra.begin(), c.extra.end());
    f.writeParameters(keys, c.entries);
    const LinkProcess ran =
        runTorvakLink(f.dir, std::string(c.options) + " --no-progress " + f.job.parameterFilePath);
    EXPECT_EQ(ran.exitCode, c.exitCode) << ran.err;
    for (const std::string& text : c.errHas) {
      EXPECT_NE(ran.err.find(text), std::string::npos) << "missing: " << text << "\n" << ran.err;
    }
    if (c.name == std::string("clean run")) {
      EXPECT_EQ(ran.err, "Linking Done: " + f.job.parameterFilePath + "\n");
    }
    const std::string report = f.dir.file("report.txt");
    EXPECT_EQ(std::filesystem::exists(report) ? countReportBlocks(readWholeFile(report)) : 0,
              c.blocks);
  }
}

TEST(SilentFailures, CheckLinksNothingAndSaysWhatARunWouldRead) {
  LinkingFixture f;
  f.writeWorkedExample();
  std::vector<std::string> keys = gridKeys(3, 1, 11, "AD");
  std::replace(keys.begin(), keys.end(), std::string("From_File_Type= 0"),
               std::string("From_File_Type= -1"));
  f.writeParameters(keys, {"1= from.txt to.txt", "2= from.txt gone.txt"});
  const LinkProcess checked = runTorvakLink(f.dir, "--check " + f.job.parameterFilePath);
  EXPECT_EQ(checked.exitCode, 65) << checked.err;
  // The From file as Model 3 reads it: scaled by 1.702 (1 x 1.702, 0 x 1.702).
  EXPECT_NE(checked.out.find("pair 1 (entry 1):\n    From  " + f.dir.file("from.txt") +
                             " (format AD, type -1): first item a = 1.702, d = 0, c = 0 (a and "
                             "d scaled by 1.702)"),
            std::string::npos)
      << checked.out;
  EXPECT_NE(checked.out.find("To    " + f.dir.file("gone.txt") + " (format AD, type 0): NOT READ"),
            std::string::npos)
      << checked.out;
  EXPECT_NE(checked.err.find("No such file: " + f.dir.file("gone.txt")), std::string::npos);
  EXPECT_NE(checked.out.find("2 of 2 \"$Data_Files\" entries would be linked\nCheck failed"),
            std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(f.dir.file("report.txt")));
  EXPECT_TRUE(checked.err.find("Linking Done") == std::string::npos);
}

TEST(SilentFailures, CheckPassesTheShippedEmpiricalExample) {
  TempDir dir;
  const std::filesystem::path examples = std::filesystem::path(TORVAK_SOURCE_DIR) / "examples";
  for (const char* name :
       {"m4_3d_empirical.ini", "m4_3d_from.dat", "m4_3d_to.dat", "m4_3d_theta.dat"}) {
    std::filesystem::copy_file(examples / name, dir.path() / name);
  }
  const LinkProcess checked = runTorvakLink(dir, "--check " + dir.file("m4_3d_empirical.ini"));
  EXPECT_EQ(checked.exitCode, 0) << checked.err;
  EXPECT_EQ(checked.err, "");
  EXPECT_NE(checked.out.find("theta points: 200 from the empirical theta file"), std::string::npos)
      << checked.out;
  EXPECT_NE(checked.out.find("items: 30"), std::string::npos);
  EXPECT_NE(checked.out.find("Theta " + dir.file("m4_3d_theta.dat") +
                             " (format TTT, rows skipped {1}): first point "),
            std::string::npos);
  EXPECT_NE(checked.out.find("Check passed: "), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(dir.file("m4_3d_empirical-report.txt")));
}
