// The shipped examples, run by torvak-link in a copy of the examples folder, print exactly
// the committed expected reports.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>

#include "support/temp_dir.h"

namespace fs = std::filesystem;

TEST(ShippedExamples, PrintTheCommittedReports) {
  const fs::path examples = fs::path(TORVAK_SOURCE_DIR) / "examples";
  TempDir dir;
  int checked = 0;
  for (const auto& entry : fs::directory_iterator(examples)) {
    if (entry.path().extension() == ".ini" || entry.path().extension() == ".dat") {
      fs::copy_file(entry.path(), dir.path() / entry.path().filename());
    }
  }
  for (const auto& entry : fs::directory_iterator(examples / "expected")) {
    const std::string name = entry.path().stem().string();
    const std::string out = dir.file(name + ".out");
    const std::string command = std::string(TORVAK_LINK_EXE) + " --no-progress --on-problem=stop " +
                                dir.file(name + ".ini") + " >" + out + " 2>/dev/null </dev/null";
    const int raw = std::system(command.c_str());
    EXPECT_TRUE(WIFEXITED(raw) && WEXITSTATUS(raw) == 0) << name;
    EXPECT_EQ(readWholeFile(out), readWholeFile(entry.path().string())) << name;
    EXPECT_TRUE(fs::exists(dir.path() / (name + "-report.txt"))) << name;
    ++checked;
  }
  EXPECT_GE(checked, 6);
}

// The described evaluation and any thread count print the same reports as the default run.
TEST(ShippedExamples, ReferenceEvaluationAndThreadCountsPrintTheSameReports) {
  const fs::path examples = fs::path(TORVAK_SOURCE_DIR) / "examples";
  TempDir dir;
  for (const auto& entry : fs::directory_iterator(examples)) {
    if (entry.path().extension() == ".ini" || entry.path().extension() == ".dat") {
      fs::copy_file(entry.path(), dir.path() / entry.path().filename());
    }
  }
  for (const auto& entry : fs::directory_iterator(examples / "expected")) {
    const std::string name = entry.path().stem().string();
    for (const char* options : {"--reference-evaluation", "--threads 1", "--threads 7"}) {
      const std::string out = dir.file(name + ".out");
      const std::string command = std::string(TORVAK_LINK_EXE) + " --no-progress " + options +
                                  " " + dir.file(name + ".ini") + " >" + out +
                                  " 2>/dev/null </dev/null";
      const int raw = std::system(command.c_str());
      EXPECT_TRUE(WIFEXITED(raw) && WEXITSTATUS(raw) == 0) << name << " " << options;
      EXPECT_EQ(readWholeFile(out), readWholeFile(entry.path().string())) << name << " " << options;
    }
  }
}
