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

TEST(CliOptions, DiagnosticsOptionsAreTakenOrRefusedWithTheirName) {
  const CliParse p = parseCliOptions({"--exclude", "17,3,20-22,3", "--se=bootstrap:50", "--seed",
                                      "42", "--drift-cutoff=0.05", "--diagnostics", "d.csv", "a.ini"});
  ASSERT_TRUE(p.ok) << p.error;
  const DiagnosticsOptions& o = p.options.diagnostics;
  EXPECT_EQ(o.excludedItems, (std::vector<long long>{3, 17, 20, 21, 22}));
  EXPECT_EQ(o.errors, DiagnosticsOptions::Errors::Bootstrap);
  EXPECT_EQ(o.bootstrapReplications, 50);
  EXPECT_EQ(o.seed, 42u);
  EXPECT_EQ(o.driftCutoff, 0.05);
  EXPECT_TRUE(o.itemDiagnostics);
  EXPECT_EQ(p.options.diagnosticsFile, "d.csv");
  EXPECT_EQ(parseCliOptions({"--se", "bootstrap", "a.ini"}).options.diagnostics.bootstrapReplications,
            200);
  EXPECT_EQ(parseCliOptions({"--se", "jackknife", "a.ini"}).options.diagnostics.errors,
            DiagnosticsOptions::Errors::Jackknife);
  EXPECT_FALSE(parseCliOptions({"a.ini"}).options.diagnostics.itemDiagnostics);

  const std::vector<std::vector<std::string>> bad = {
      {"--exclude", "0"},          {"--exclude", "3,,4"},      {"--exclude", "5-2"},
      {"--exclude", "x"},          {"--exclude", "-3"},        {"--exclude", ""},
      {"--se", "bootstrap:1"},     {"--se", "bootstrap:"},     {"--se", "delta"},
      {"--seed", "-1"},            {"--seed", "1e3"},          {"--drift-cutoff", "1.5"},
      {"--drift-cutoff", "nan"},   {"--drift-cutoff", "-0.1"}, {"--diagnostics="}};
  for (std::vector<std::string> args : bad) {
    const std::string option = args[0].substr(0, args[0].find('='));
    args.push_back("a.ini");
    const CliParse refused = parseCliOptions(args);
    EXPECT_FALSE(refused.ok) << args[0] << " " << args[1];
    EXPECT_NE(refused.error.find(option), std::string::npos) << refused.error;
  }
}
