// torvak-link as a user runs it: a separate process, its output streams and exit status.
#include <gtest/gtest.h>

#include "support/link_process.h"
#include "support/linking_fixture.h"

TEST(TorvakLink, LinksAFileAndPrintsTheReport) {
  LinkingFixture f;
  f.writeWorkedExample();
  f.writeParameters(gridKeys(1, 1, 11, "AD"), {"1= from.txt to.txt"});
  const LinkProcess ran = runTorvakLink(f.dir, f.job.parameterFilePath);
  EXPECT_EQ(ran.exitCode, 0) << ran.err;
  EXPECT_EQ(ran.out,
            "from.txt(0),to.txt(0),Ing:Grid[-4.00,4.00];W(0),T#:11,TD#1,I#2,M:1,P:1\n"
            "0.000000e+00 0.500000 -0.500000 \n"
            "**********************************************\n");
  EXPECT_EQ(ran.err, "Linking Done: " + f.job.parameterFilePath + "\n");
  EXPECT_EQ(readWholeFile(f.dir.file("report.txt")),
            "from.txt(0),to.txt(0),Ing:Grid[-4,4];W(0),T#:11,TD#:1,I#:2,M:1,P:1 \n"
            "0.000000e+00 0.500000 -0.500000 \n"
            "**********************************************\n");
}

TEST(TorvakLink, ProblemsStopWithoutATerminalOrContinueWhenAsked) {
  LinkingFixture f;
  f.writeWorkedExample();
  f.writeParameters(gridKeys(1, 1, 11, "AD"),
                    {"1= from.txt to.txt", "2= from.txt gone.txt", "3= from.txt to.txt"});
  const LinkProcess stopped = runTorvakLink(f.dir, f.job.parameterFilePath);
  EXPECT_EQ(stopped.exitCode, 1);
  EXPECT_NE(stopped.err.find("No such file: " + f.dir.file("gone.txt")), std::string::npos)
      << stopped.err;
  EXPECT_NE(stopped.err.find("Error: (1) in Linking: "), std::string::npos);

  const LinkProcess continued =
      runTorvakLink(f.dir, "--on-problem=continue " + f.job.parameterFilePath);
  EXPECT_EQ(continued.exitCode, 0) << continued.err;
  EXPECT_NE(continued.err.find("Linking Done: "), std::string::npos);
}

TEST(TorvakLink, ExitStatusComesFromTheFirstFailingFile) {
  LinkingFixture f;
  f.writeWorkedExample();
  f.writeParameters(gridKeys(1, 1, 11, "AD"), {"1= from.txt to.txt"});
  const LinkProcess ran =
      runTorvakLink(f.dir, f.dir.file("missing.ini") + " " + f.job.parameterFilePath);
  EXPECT_EQ(ran.exitCode, 1);
  EXPECT_NE(ran.err.find("Can't open initial file: " + f.dir.file("missing.ini")),
            std::string::npos);
  EXPECT_NE(ran.out.find("0.500000 -0.500000"), std::string::npos);  // the second file ran
}

TEST(TorvakLink, HelpVersionAndUsageErrors) {
  TempDir dir;
  const LinkProcess help = runTorvakLink(dir, "--help");
  EXPECT_EQ(help.exitCode, 0);
  EXPECT_NE(help.out.find("Usage: torvak-link"), std::string::npos);
  EXPECT_NE(help.out.find("Exit status"), std::string::npos);
  EXPECT_EQ(runTorvakLink(dir, "--version").exitCode, 0);
  const LinkProcess usage = runTorvakLink(dir, "--bogus x.ini");
  EXPECT_EQ(usage.exitCode, 64);
  EXPECT_NE(usage.err.find("--bogus"), std::string::npos);
  EXPECT_EQ(runTorvakLink(dir, "").exitCode, 64);
}
