#include "cli/cli_options.h"

#include <gtest/gtest.h>

TEST(CliOptions, FilesAndPoliciesAreTaken) {
  const CliParse p = parseCliOptions({"--on-problem=continue", "a.ini", "--no-progress", "b.ini"});
  ASSERT_TRUE(p.ok);
  EXPECT_EQ(p.options.parameterFiles, (std::vector<std::string>{"a.ini", "b.ini"}));
  EXPECT_EQ(p.options.onProblem, ProblemPolicy::Continue);
  EXPECT_FALSE(p.options.progress);
  EXPECT_EQ(parseCliOptions({"--on-problem=stop", "x"}).options.onProblem, ProblemPolicy::Stop);
  EXPECT_EQ(parseCliOptions({"--", "--odd-name.ini"}).options.parameterFiles,
            std::vector<std::string>{"--odd-name.ini"});
}

TEST(CliOptions, MistakesAreRefusedWithAReason) {
  const CliParse bad = parseCliOptions({"--on-problem=maybe", "a.ini"});
  EXPECT_FALSE(bad.ok);
  EXPECT_NE(bad.error.find("maybe"), std::string::npos);
  EXPECT_FALSE(parseCliOptions({"--frobnicate", "a.ini"}).ok);
  EXPECT_FALSE(parseCliOptions({}).ok);
  EXPECT_TRUE(parseCliOptions({"--help"}).ok);
}

TEST(CliOptions, ThreadsAndReferenceEvaluation) {
  EXPECT_EQ(parseCliOptions({"a.ini"}).options.evaluation.threads, 0);
  EXPECT_FALSE(parseCliOptions({"a.ini"}).options.evaluation.reference);
  EXPECT_EQ(parseCliOptions({"--threads", "3", "a.ini"}).options.evaluation.threads, 3);
  EXPECT_EQ(parseCliOptions({"--threads=7", "a.ini"}).options.evaluation.threads, 7);
  EXPECT_TRUE(parseCliOptions({"--reference-evaluation", "a.ini"}).options.evaluation.reference);
  for (const char* bad : {"0", "-2", "two", "", "99999999999"}) {
    const CliParse p = parseCliOptions({"--threads", bad, "a.ini"});
    EXPECT_FALSE(p.ok) << bad;
    EXPECT_NE(p.error.find("--threads"), std::string::npos) << bad;
  }
  EXPECT_FALSE(parseCliOptions({"a.ini", "--threads"}).ok);
}

TEST(CliOptions, ExitCodesFollowTheFirstFailingStatus) {
  EXPECT_EQ(exitCodeForStatus(0), 0);
  EXPECT_EQ(exitCodeForStatus(1), 1);
  EXPECT_EQ(exitCodeForStatus(8), 8);
  EXPECT_EQ(exitCodeForStatus(9), 9);
  EXPECT_EQ(exitCodeForStatus(-2), 102);
  EXPECT_NE(exitCodeForStatus(-2), kExitUsage);
}

TEST(CliOptions, ResultsAndCheckAreTaken) {
  EXPECT_EQ(parseCliOptions({"--results", "r.json", "a.ini"}).options.resultsFile, "r.json");
  EXPECT_EQ(parseCliOptions({"--results=r.json", "a.ini"}).options.parameterFiles,
            std::vector<std::string>{"a.ini"});
  EXPECT_FALSE(parseCliOptions({"a.ini", "--results"}).ok);
  EXPECT_FALSE(parseCliOptions({"--results=", "a.ini"}).ok);
  EXPECT_TRUE(parseCliOptions({"--check", "a.ini"}).options.check);
  EXPECT_TRUE(parseCliOptions({"--identify", "items.csv"}).options.identify);
  EXPECT_EQ(parseCliOptions({"--identify"}).error, "--identify needs a data file");
}

TEST(CliOptions, ExitIsZeroOnlyWhenEveryPairWasLinkedAndReported) {
  auto run = [](int status, std::vector<PairOutcome::Result> results, int lost = 0) {
    RunResults r;
    r.status = status;
    r.reportBlocksNotWritten = lost;
    for (auto result : results) {
      PairOutcome pair;
      pair.result = result;
      r.pairs.push_back(pair);
    }
    return r;
  };
  using R = PairOutcome::Result;
  const RunResults linked = run(0, {R::Linked, R::Linked});
  const RunResults skipped = run(0, {R::Linked, R::Skipped});
  const RunResults nothing = run(0, {});
  const RunResults lost = run(0, {R::Linked}, 1);
  const RunResults failed = run(9, {R::Linked, R::Failed});
  EXPECT_EQ(exitCodeForRuns({linked, linked}, false), 0);
  EXPECT_EQ(exitCodeForRuns({linked, skipped}, false), kExitPairsSkipped);
  EXPECT_EQ(exitCodeForRuns({run(0, {R::Skipped})}, false), kExitNothingLinked);
  EXPECT_EQ(exitCodeForRuns({lost, skipped, nothing}, false), kExitNothingLinked);
  EXPECT_EQ(exitCodeForRuns({lost, linked}, false), kExitReportNotWritten);
  EXPECT_EQ(exitCodeForRuns({lost, failed, nothing}, false), 9);
  EXPECT_EQ(exitCodeForRuns({linked}, true), 8);
}
