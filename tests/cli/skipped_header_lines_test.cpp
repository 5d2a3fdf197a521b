// The two silent misreads of real calibration files now end with a refusal or a warning: a
// header naming other columns than the format reads, and a row-skip list that passes over the
// first item because a blank title line is not counted.
#include <gtest/gtest.h>

#include <string>

#include "support/link_process.h"
#include "support/temp_dir.h"

namespace {

LinkProcess runModel1(const TempDir& dir, const std::string& format, const std::string& skip,
                      const std::string& from, const std::string& to) {
  dir.write("from.txt", from);
  dir.write("to.txt", to);
  const std::string ini = dir.write(
      "run.ini", "Model_Type= 1\nParameterization= 1\nTheta_Dimension= 1\nNumber_Of_Grid= 5\n"
                 "From_Column_Format= " + format + "\nFrom_Row_Skip= " + skip +
                 "\nTo_Column_Format= " + format + "\nTo_Row_Skip= " + skip +
                 "\n$Data_Files 1= from.txt to.txt\n");
  return runTorvakLink(dir, "--no-progress --on-problem=stop " + ini);
}

std::string bilogItem(int n, double intercept, double slope) {
  return "E0" + std::to_string(n) + "     CIVICS    " + std::to_string(intercept) +
         "   0.03860   " + std::to_string(slope) +
         "   0.02114   0.23543   0.05720   0.51297   0.01815   0.24776   0.01804   0.00000   "
         "0.00000             110\n";
}

}  // namespace

TEST(SkippedHeaderLines, AnIrtParsTableReadAsSlopeInterceptIsRefused) {
  const std::string table =
      "\"a\" \"b\" \"g\" \"u\"\n\"Item_1\" 1.3 -0.3 0.2 1\n\"Item_2\" 0.8 0.5 0.1 1\n"
      "\"Item_3\" 1.1 1.2 0.15 1\n";
  TempDir wrong, right;
  const LinkProcess refused = runModel1(wrong, "XADCX", "{1}", table, table);
  EXPECT_NE(refused.exitCode, 0);
  EXPECT_NE(refused.err.find("Faulty data file: "), std::string::npos) << refused.err;
  EXPECT_NE(refused.err.find("'\"b\"' names a difficulty, but it stands over letter D"),
            std::string::npos)
      << refused.err;
  EXPECT_NE(refused.err.find("Column format XABCX reads the columns"), std::string::npos);
  const LinkProcess linked = runModel1(right, "XABCX", "{1}", table, table);
  EXPECT_EQ(linked.exitCode, 0) << linked.err;
}

TEST(SkippedHeaderLines, ABlankTitleLineThatHidesTheFirstItemIsWarnedAbout) {
  std::string file = "CIVICS TEST\n\n   1   4\n   4\n";
  for (int n = 1; n <= 4; ++n) file += bilogItem(n, -0.1 * n, 0.5 + 0.1 * n);
  TempDir four, three;
  const LinkProcess hidden = runModel1(four, "XXDXAXXXXXCXXXX", "{1-4}", file, file);
  EXPECT_EQ(hidden.exitCode, 0) << hidden.err;
  EXPECT_NE(hidden.out.find("I#3"), std::string::npos) << hidden.out;
  EXPECT_NE(hidden.err.find("Skipped line reads as a record: "), std::string::npos)
      << hidden.err;
  EXPECT_NE(hidden.err.find("the row-skip list {1-3} reads it"), std::string::npos)
      << hidden.err;
  const LinkProcess all = runModel1(three, "XXDXAXXXXXCXXXX", "{1-3}", file, file);
  EXPECT_EQ(all.exitCode, 0) << all.err;
  EXPECT_NE(all.out.find("I#4"), std::string::npos) << all.out;
  EXPECT_EQ(all.err.find("Skipped line"), std::string::npos) << all.err;
}
