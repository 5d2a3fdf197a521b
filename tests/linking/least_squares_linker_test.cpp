#include "linking/least_squares_linker.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/linking_fixture.h"
#include "support/report_blocks.h"

namespace {

// The worked example: To = From under theta_To = 0.5 theta_From - 0.5.

struct Outcome {
  double result;
  int status;
  std::vector<double> area;
};

Outcome runModel1(LinkingFixture& f, int pairs) {
  std::vector<double>& area = f.job.resultArea;
  LeastSquaresLinker linker(&f.job);
  Outcome o;
  o.result = linker.run(pairs);
  o.status = linker.status;
  o.area = area;
  return o;
}

}  // namespace

TEST(LeastSquaresLinker, WorkedExampleGivesHalfSlopeAndZeroCriterion) {
  LinkingFixture f;
  f.writeWorkedExample();
  f.writeParameters(gridKeys(1, 1, 11, "AD"), {"1= from.txt to.txt"});
  const Outcome o = runModel1(f, 1);
  EXPECT_EQ(o.status, 0);
  EXPECT_DOUBLE_EQ(o.result, 0.0);
  ASSERT_GE(o.area.size(), 3u);
  EXPECT_DOUBLE_EQ(o.area[1], 0.5);
  EXPECT_DOUBLE_EQ(o.area[2], -0.5);
  EXPECT_EQ(readWholeFile(f.dir.file("report.txt")),
            "from.txt(0),to.txt(0),Ing:Grid[-4,4];W(0),T#:11,TD#:1,I#:2,M:1,P:1 \n"
            "0.000000e+00 0.500000 -0.500000 \n"
            "**********************************************\n");
}

TEST(LeastSquaresLinker, ParameterizationTwoReportsXItself) {
  LinkingFixture f;
  f.writeWorkedExample();
  auto keys = gridKeys(1, 1, 11, "AD");
  keys.push_back("Parameterization= 2");
  f.writeParameters(keys, {"1= from.txt to.txt"});
  const Outcome o = runModel1(f, 1);
  EXPECT_EQ(o.status, 0);
  EXPECT_DOUBLE_EQ(o.area[1], 2.0);
  EXPECT_DOUBLE_EQ(o.area[2], -0.5);
  EXPECT_NEAR(o.result, 0.0, 1e-15);
}

TEST(LeastSquaresLinker, TwoDimensionsRecoverAKnownTransformation) {
  // theta_To = M theta_From + t with M = [[1.3, 0.4], [-0.2, 0.7]], t = (0.5, -0.3):
  // a_From = M^T a_To and d_From = d_To + a_To . t.
  const double m[4] = {1.3, 0.4, -0.2, 0.7}, t[2] = {0.5, -0.3};
  const double to[5][3] = {
      {1.0, 0.2, -0.5}, {0.3, 1.4, 0.2}, {0.8, 0.8, 1.0}, {1.6, 0.1, 0.4}, {0.2, 0.9, -1.2}};
  std::vector<std::vector<double>> fromRows, toRows;
  for (const auto& item : to) {
    toRows.push_back({item[0], item[1], item[2]});
    fromRows.push_back({m[0] * item[0] + m[2] * item[1], m[1] * item[0] + m[3] * item[1],
                        item[2] + item[0] * t[0] + item[1] * t[1]});
  }
  LinkingFixture f;
  f.writeItems("from.txt", fromRows);
  f.writeItems("to.txt", toRows);
  f.writeParameters(gridKeys(1, 2, 5, "AAD"), {"1= from.txt to.txt"});
  const Outcome o = runModel1(f, 1);
  ASSERT_EQ(o.status, 0);
  const double expected[6] = {1.3, 0.4, -0.2, 0.7, 0.5, -0.3};
  for (int k = 0; k < 6; ++k) EXPECT_NEAR(o.area[1 + k], expected[k], 1e-12) << k;
  EXPECT_NEAR(o.result, 0.0, 1e-24);
}

TEST(LeastSquaresLinker, PairsAreFoundByNumberWhateverTheirOrder) {
  LinkingFixture f;
  f.writeWorkedExample();
  f.writeItems("to2.txt", {{2.0, 3.0}, {4.0, 6.0}});
  f.writeItems("to3.txt", {{1.0, 0.0}, {2.0, 0.0}});
  f.writeParameters(gridKeys(1, 1, 11, "AD"),
                    {"1= from.txt to.txt", "3= from.txt to3.txt", "2= from.txt to2.txt"});
  const Outcome o = runModel1(f, 3);
  EXPECT_EQ(o.status, 0);
  const std::string report = readWholeFile(f.dir.file("report.txt"));
  EXPECT_EQ(countReportBlocks(report), 3);
  const auto second = report.find("to2.txt");
  const auto third = report.find("to3.txt");
  ASSERT_NE(second, std::string::npos);
  EXPECT_LT(second, third);
  // The last pair is the identity.
  EXPECT_DOUBLE_EQ(o.area[1], 1.0);
  EXPECT_DOUBLE_EQ(o.area[2], 0.0);
  EXPECT_EQ(f.host.progress.size(), 3u);
  EXPECT_EQ(f.host.progress[2].toFileName, f.dir.file("to3.txt"));
}

TEST(LeastSquaresLinker, GapInNumbersEndsTheRunQuietly) {
  LinkingFixture f;
  f.writeWorkedExample();
  f.writeParameters(gridKeys(1, 1, 11, "AD"),
                    {"1= from.txt to.txt", "2= from.txt to.txt", "4= from.txt to.txt"});
  const Outcome o = runModel1(f, 3);
  EXPECT_EQ(o.status, 0);
  EXPECT_EQ(countReportBlocks(readWholeFile(f.dir.file("report.txt"))), 2);
  EXPECT_TRUE(f.host.messages.empty());
}

TEST(LeastSquaresLinker, PairLimitOneLinksOnlyTheFirstPair) {
  LinkingFixture f;
  f.writeWorkedExample();
  f.writeParameters(gridKeys(1, 1, 11, "AD"), {"1= from.txt to.txt", "2= from.txt to.txt"});
  EXPECT_EQ(runModel1(f, 1).status, 0);
  EXPECT_EQ(countReportBlocks(readWholeFile(f.dir.file("report.txt"))), 1);
}

TEST(LeastSquaresLinker, MissingToFileAnsweredOkSkipsThePairOnly) {
  LinkingFixture f;
  f.writeWorkedExample();
  f.host.answers = {MessageAnswer::Ok};
  f.writeParameters(gridKeys(1, 1, 11, "AD"),
                    {"1= from.txt to.txt", "2= from.txt gone.txt", "3= from.txt to.txt"});
  const Outcome o = runModel1(f, 3);
  EXPECT_EQ(o.status, 0);
  EXPECT_EQ(countReportBlocks(readWholeFile(f.dir.file("report.txt"))), 2);
  EXPECT_EQ(f.host.captions(), (std::vector<std::string>{"No such file", ""}));
  EXPECT_EQ(f.host.messageTexts()[1], "Problem in Linking, Continue?");
}

TEST(LeastSquaresLinker, CancelAtAProblemEndsTheRunWithItsCode) {
  LinkingFixture f;
  f.writeWorkedExample();
  f.host.answers = {MessageAnswer::Cancel};
  f.writeParameters(gridKeys(1, 1, 11, "AD"),
                    {"1= from.txt to.txt", "2= gone.txt to.txt", "3= from.txt to.txt"});
  const Outcome o = runModel1(f, 3);
  EXPECT_EQ(o.status, LeastSquaresLinker::kFromFile);
  EXPECT_DOUBLE_EQ(o.result, LeastSquaresLinker::kNoCriterion);
  EXPECT_EQ(countReportBlocks(readWholeFile(f.dir.file("report.txt"))), 1);
}

TEST(LeastSquaresLinker, ZeroFromSlopesAreASingularCrossProduct) {
  LinkingFixture f;
  f.writeItems("from.txt", {{0.0, 0.0}, {0.0, 1.0}});
  f.writeItems("to.txt", {{2.0, 1.0}, {4.0, 2.0}});
  f.host.answers = {MessageAnswer::Cancel};
  f.writeParameters(gridKeys(1, 1, 11, "AD"), {"1= from.txt to.txt"});
  const Outcome o = runModel1(f, 1);
  EXPECT_EQ(o.status, LeastSquaresLinker::kSingularCrossProductStatus);
  EXPECT_EQ(f.host.messageTexts(),
            (std::vector<std::string>{"Singular Matrix", "Problem in Linking, Continue?"}));
  EXPECT_DOUBLE_EQ(o.area[1], LeastSquaresLinker::kSingularCrossProduct);
}

TEST(LeastSquaresLinker, StopBeforeTheFirstPairKeepsTheStartingCriterion) {
  LinkingFixture f;
  f.writeWorkedExample();
  f.writeParameters(gridKeys(1, 1, 11, "AD"), {"1= from.txt to.txt"});
  f.job.stopEvent.set();
  const Outcome o = runModel1(f, 1);
  EXPECT_EQ(o.status, LeastSquaresLinker::kStopped);
  EXPECT_DOUBLE_EQ(o.result, -1.111111);
}

TEST(LeastSquaresLinker, StopBetweenPairsFinishesThePairInWork) {
  LinkingFixture g;
  g.writeWorkedExample();
  g.writeParameters(gridKeys(1, 1, 11, "AD"), {"1= from.txt to.txt", "2= from.txt to.txt"});
  g.host.onProgress = [&g](const ProgressNote&) {
    if (g.host.progress.size() == 2) g.job.stopEvent.set();
  };
  const Outcome p = runModel1(g, 2);
  EXPECT_EQ(p.status, LeastSquaresLinker::kStopped);
  EXPECT_EQ(countReportBlocks(readWholeFile(g.dir.file("report.txt"))), 1);
}

TEST(LeastSquaresLinker, ParameterFileGoneBeforeThePairLookupEndsWithStatusOne) {
  LinkingFixture f;
  f.writeWorkedExample();
  f.writeParameters(gridKeys(1, 1, 11, "AD"), {"1= from.txt to.txt", "2= from.txt to.txt"});
  f.host.onProgress = [&f](const ProgressNote&) {
    std::filesystem::remove(f.job.parameterFilePath);
  };
  const Outcome o = runModel1(f, 2);
  EXPECT_EQ(o.status, LeastSquaresLinker::kSettingsOrToFile);
  EXPECT_EQ(f.host.captions(), std::vector<std::string>{"Can't open initial file"});
  EXPECT_EQ(countReportBlocks(readWholeFile(f.dir.file("report.txt"))), 1);
}

TEST(LeastSquaresLinker, LaterPairWithMoreItemsIsRefusedWithItsCounts) {
  LinkingFixture f;
  f.writeWorkedExample();
  f.writeItems("from3.txt", {{1.0, 0.0}, {2.0, 0.0}, {3.0, 0.0}});
  f.writeItems("to3.txt", {{2.0, 1.0}, {4.0, 2.0}, {6.0, 3.0}});
  f.host.answers = {MessageAnswer::Cancel};
  f.writeParameters(gridKeys(1, 1, 11, "AD"), {"1= from.txt to.txt", "2= from3.txt to3.txt"});
  const Outcome o = runModel1(f, 2);
  EXPECT_EQ(o.status, LeastSquaresLinker::kSettingsOrToFile);
  ASSERT_EQ(f.host.messages.size(), 2u);
  EXPECT_EQ(f.host.messages[0].caption, "Faulty data file");
  EXPECT_NE(f.host.messages[0].text.find("to3.txt"), std::string::npos);
}

TEST(LeastSquaresLinker, OtherModelOrFailedLoadRefusesToRun) {
  LinkingFixture f;
  f.writeWorkedExample();
  f.writeParameters(gridKeys(3, 1, 11, "AD"), {"1= from.txt to.txt"});
  const Outcome o = runModel1(f, 1);
  EXPECT_DOUBLE_EQ(o.result, -4.0);
  EXPECT_EQ(o.status, 0);
  EXPECT_TRUE(o.area.empty());

  LinkingFixture g;
  g.writeParameters(gridKeys(1, 1, 11, "AD"), {"1= from.txt to.txt"});
  const Outcome p = runModel1(g, 1);
  EXPECT_DOUBLE_EQ(p.result, -4.0);
  EXPECT_EQ(p.status, 1);
}

// Parameterizations other than 1 to 4 must use the block's matrix as it is, as
// computeTransformation wrote it.
TEST(LeastSquaresLinker, OtherParameterizationsUseTheMatrixUninverted) {
  LinkingFixture f;
  f.writeWorkedExample();
  auto keys = gridKeys(1, 1, 11, "AD");
  keys.push_back("Parameterization= 5");
  f.writeParameters(keys, {"1= from.txt to.txt"});
  const Outcome o = runModel1(f, 1);
  EXPECT_EQ(o.status, 0);
  EXPECT_DOUBLE_EQ(o.area[1], 2.0);
  EXPECT_NEAR(o.result, 0.0, 1e-15);
}
