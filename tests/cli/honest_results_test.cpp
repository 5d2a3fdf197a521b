// Hand-written runs that once printed "Linking Done" with a wrong result or none: each now
// ends with a warning, an error or the right result.
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "jobs/linking_worker.h"
#include "support/link_process.h"
#include "support/linking_fixture.h"
#include "support/report_blocks.h"

namespace {

struct HandWritten {
  const char* name;
  std::vector<std::string> keys;     // besides gridKeys(1, 2, 5, "AADC")
  std::vector<std::string> entries;  // "$Data_Files" entries
  std::string fromText;              // the From file (to.txt holds the clean items)
  int exitCode;
  std::vector<std::string> shown;  // parts of standard error, in any order
  int blocks;                      // report blocks written
};

const char* const kItems =
    "1.1 0.4 0.2 0.1\n0.8 1.2 -0.5 0.2\n1.3 0.9 0.7 0.15\n0.6 0.7 -1.1 0.05\n";

}  // namespace

TEST(HonestResults, HandWrittenRunsSayWhatIsWrong) {
  // A word too many on line 1 and one too few on line 2: record 2 starts mid-line 1.
  const std::string wrongLines =
      "1.1 0.4 0.2 0.1 0.3\n0.2 1.2 0.5\n1.3 0.9 0.7 0.15\n"
      "0.6 0.7 -1.1 0.05\n";
  const HandWritten cases[] = {
      {"entries out of order",
       {},
       {"2= from.txt to.txt", "1= other.txt to.txt", "3= from.txt to.txt"},
       kItems,
       0,
       {"line 16 (2=), line 16 (2=), line 18 (3=)", "pass over line 17 (1=)"},
       3},
      {"a word too many and one too few",
       {},
       {"1= from.txt to.txt"},
       wrongLines,
       0,
       {"Records and lines differ", "line 1 holds 5 words where column format AADC reads 4"},
       1},
      {"a numeric header line",
       {},
       {"1= from.txt to.txt"},
       "1 2 3 4 5\n" + std::string(kItems),
       2,
       {"'4' is not a guessing parameter"},
       0},
      {"guessing above 1",
       {},
       {"1= from.txt to.txt"},
       "1.1 0.4 0.2 1.58\n0.8 1.2 -0.5 0.2\n"
       "1.3 0.9 0.7 0.15\n0.6 0.7 -1.1 0.05\n",
       2,
       {"line 1: '1.58' is not a guessing"},
       0},
      {"dimension out of range",
       {"Theta_Dimension= 30"},
       {"1= from.txt to.txt"},
       kItems,
       1,
       {"Theta_Dimension= 30 is out of range"},
       0},
      {"a missing data file", {}, {"1= gone.txt to.txt"}, kItems, 1, {"/gone.txt"}, 0},
  };
  for (const HandWritten& c : cases) {
    LinkingFixture f;
    f.dir.write("to.txt", kItems);
    f.dir.write("other.txt", kItems);
    f.dir.write("from.txt", c.fromText);
    auto keys = gridKeys(1, 2, 5, "AADC");
    keys.insert(keys.end(), c.keys.begin(), c.keys.end());
    f.writeParameters(keys, c.entries);
    const LinkProcess ran = runTorvakLink(f.dir, "--no-progress " + f.job.parameterFilePath);
    EXPECT_EQ(ran.exitCode, c.exitCode) << c.name << "\n" << ran.err;
    for (const std::string& part : c.shown) {
      EXPECT_NE(ran.err.find(part), std::string::npos) << c.name << ": " << part << "\n" << ran.err;
    }
    EXPECT_EQ(countReportBlocks(readWholeFile(f.dir.file("report.txt"))), c.blocks) << c.name;
  }
}

TEST(HonestResults, AByteOrderMarkIsPassedOver) {
  LinkingFixture f;
  f.writeWorkedExample();
  std::string text = "\xEF\xBB\xBF";
  for (const auto& line : gridKeys(1, 1, 11, "AD")) text += line + "\n";
  text += "$Data_Files 1= from.txt to.txt\n";
  f.job.parameterFilePath = f.dir.write("run.ini", text);
  f.dir.write("to.txt", "\xEF\xBB\xBF" + readWholeFile(f.dir.file("to.txt")));
  const LinkProcess ran = runTorvakLink(f.dir, "--no-progress " + f.job.parameterFilePath);
  EXPECT_EQ(ran.exitCode, 0) << ran.err;
  EXPECT_NE(ran.out.find("0.500000 -0.500000"), std::string::npos) << ran.out << ran.err;
}

// From items in the normal metric (type -1), To items in the logistic metric (type 0), under
// a known transformation without noise: Model 3 must find it, which needs a start on the
// search's scale.
TEST(HonestResults, MixedMetricsReachTheLowCriterion) {
  const double m[9] = {1.1, 0.2, 0.0, -0.1, 0.9, 0.15, 0.05, 0.0, 1.2};
  const double t[3] = {0.3, -0.2, 0.1};
  std::mt19937 rng(7);
  std::uniform_real_distribution<double> slope(0.5, 1.5), intercept(-1.0, 1.0);
  std::vector<std::vector<double>> from, to;
  for (int j = 0; j < 36; ++j) {
    double a[3] = {slope(rng), slope(rng), slope(rng)}, d = intercept(rng);
    std::vector<double> f(5), g{a[0], a[1], a[2], d, 0.1};
    f[3] = d;
    for (int k = 0; k < 3; ++k) {
      for (int l = 0; l < 3; ++l) f[k] += m[l * 3 + k] * a[l];  // a_From = M' a_To
      f[3] += a[k] * t[k];                                      // d_From = d_To + a_To' t
    }
    for (int k = 0; k < 4; ++k) f[k] /= 1.702;
    f[4] = 0.1;
    from.push_back(f);
    to.push_back(g);
  }
  LinkingFixture f;
  f.writeItems("from.txt", from);
  f.writeItems("to.txt", to);
  auto keys = gridKeys(3, 3, 7, "AAADC");
  keys[7] = "From_File_Type= -1";
  f.writeParameters(keys, {"1= from.txt to.txt"});
  EXPECT_EQ(LinkingThreadProc(&f.job), 0);
  ASSERT_EQ(f.job.resultArea.size(), 13u);
  EXPECT_LT(f.job.resultArea[0], 1e-10);
  for (int k = 0; k < 9; ++k) EXPECT_NEAR(f.job.resultArea[1 + k], m[k], 1e-4) << k;
  for (int k = 0; k < 3; ++k) EXPECT_NEAR(f.job.resultArea[10 + k], t[k], 1e-4) << k;
}
