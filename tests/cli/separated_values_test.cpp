// torvak-link reading item and theta files written as separated values (R's write.csv,
// write.table with sep=";") links them exactly as their whitespace twins.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/link_process.h"
#include "support/temp_dir.h"

namespace {

struct RunFiles {
  std::string keys;  // parameter-file lines besides the model, dimension, grid and entry
  std::string from, to, theta;
};

LinkProcess runPair(const TempDir& dir, const std::string& modelKeys, const RunFiles& files) {
  dir.write("from.txt", files.from);
  dir.write("to.txt", files.to);
  std::string entry = "$Data_Files 1= from.txt to.txt";
  if (!files.theta.empty()) {
    dir.write("theta.txt", files.theta);
    entry += " theta.txt";
  }
  const std::string ini = dir.write(
      "run.ini", "[REDevar Parameters]\n" + modelKeys + files.keys +
                     "Output_File_Type= 1\nOutput_File_Name= report.txt\n\n[Data File Names]\n" +
                     entry + "\n");
  return runTorvakLink(dir, "--no-progress --on-problem=stop " + ini);
}

const char* const kModel1 =
    "Model_Type= 1\nParameterization= 1\nTheta_Dimension= 2\nNumber_Of_Grid= 5\n";

}  // namespace

TEST(SeparatedValues, Model1PairAsCsvLinksLikeTheWhitespacePair) {
  const RunFiles whitespace{
      "From_Column_Format= XAADC\nFrom_Row_Skip= {1}\nTo_Column_Format= XAADC\n"
      "To_Row_Skip= {1}\n",
      "a1 a2 d g\ni1 1.2 0.3 -0.5 0.1\ni2 0.7 1.1 0.4 0.2\ni3 0.9 0.8 1.3 0\ni4 1.5 0.2 -1 0\n",
      "a1 a2 d g\ni1 1.1 0.5 -0.2 0.1\ni2 0.6 1.3 0.9 0.2\ni3 0.8 1 1.6 0\ni4 1.4 0.4 -0.6 0\n",
      ""};
  const RunFiles csv{
      "From_Column_Format= XAADC\nFrom_Row_Skip= {1}\nFrom_Separator= comma\n"
      "To_Column_Format= XAADC\nTo_Row_Skip= {1}\nTo_Separator= semicolon\n",
      "\"\",\"a1\",\"a2\",\"d\",\"g\",\"u\"\r\n\"Item.1\",1.2,0.3,-0.5,0.1,1\r\n"
      "\"Item.2\",0.7,1.1,0.4,0.2,1\r\n\"Item.3\",0.9,0.8,1.3,0,1\r\n"
      "\"Item.4\",1.5,0.2,-1,0,1\r\n",
      "\"a1\";\"a2\";\"d\";\"g\"\n\"Item 1\";1.1;0.5;-0.2;0.1\n\"Item 2\";0.6;1.3;0.9;0.2\n"
      "\"Item 3\";0.8;1;1.6;0\n\"Item 4\";1.4;0.4;-0.6;0\n",
      ""};
  TempDir plainDir, csvDir;
  const LinkProcess plain = runPair(plainDir, kModel1, whitespace);
  const LinkProcess separated = runPair(csvDir, kModel1, csv);
  ASSERT_EQ(plain.exitCode, 0) << plain.err;
  ASSERT_EQ(separated.exitCode, 0) << separated.err;
  EXPECT_NE(plain.out.find("I#4,M:1"), std::string::npos) << plain.out;
  EXPECT_EQ(separated.out, plain.out);
  EXPECT_EQ(readWholeFile(csvDir.file("report.txt")), readWholeFile(plainDir.file("report.txt")));
  // The u column of the From file is past the format: said once, naming its first line.
  EXPECT_NE(separated.err.find("line 2 holds 6 fields where column format XAADC reads 5"),
            std::string::npos)
      << separated.err;
}

TEST(SeparatedValues, ThetaLinesWithNaArePassedOverOnceAndCountedOut) {
  const std::string model3 =
      "Model_Type= 3\nParameterization= 1\nTheta_Dimension= 1\nNumber_Of_Grid= 0\n"
      "From_Column_Format= AD\nTo_Column_Format= AD\nEmp_Column_Format= XT\n"
      "Emp_Row_Skip= {1}\n";
  const std::string from = "1 0\n2 0\n0.8 -0.5\n";
  const std::string to = "2 1\n4 2\n1.6 0.6\n";
  const RunFiles whitespace{"", from, to, "id theta\n1 -1.5\n3 0.2\n4 1.1\n6 -0.4\n"};
  const RunFiles csv{"Emp_Separator= comma\n", from, to,
                     "\"\",\"F1\",\"SE_F1\"\n\"1\",-1.5,0.3\n\"2\",NA,NA\n\"3\",0.2,0.31\n"
                     "\"4\",1.1,0.4\n\"5\",,\n\"6\",-0.4,0.3\n"};
  TempDir plainDir, csvDir;
  const LinkProcess plain = runPair(plainDir, model3, whitespace);
  const LinkProcess separated = runPair(csvDir, model3, csv);
  ASSERT_EQ(plain.exitCode, 0) << plain.err;
  ASSERT_EQ(separated.exitCode, 0) << separated.err;
  EXPECT_NE(plain.out.find("T#:4,"), std::string::npos) << plain.out;
  EXPECT_EQ(separated.out, plain.out);
  const std::string note = "2 lines were passed over for a missing value";
  const auto first = separated.err.find(note);
  ASSERT_NE(first, std::string::npos) << separated.err;
  EXPECT_EQ(separated.err.find(note, first + 1), std::string::npos) << separated.err;
  EXPECT_NE(separated.err.find("the first of them line 3"), std::string::npos);
}
