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
