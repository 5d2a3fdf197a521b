// The shipped examples, run by torvak-link in a copy of the examples folder, print exactly
// the committed expected reports.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/link_process.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;

namespace {

const fs::path kExamples = fs::path(TORVAK_SOURCE_DIR) / "examples";

// The parameter and data files of every example, copied into dir.
void copyExamples(const TempDir& dir) {
  for (const auto& entry : fs::directory_iterator(kExamples)) {
    if (entry.path().extension() == ".ini" || entry.path().extension() == ".dat") {
      fs::copy_file(entry.path(), dir.path() / entry.path().filename());
    }
  }
}

}  // namespace

TEST(ShippedExamples, PrintTheCommittedReports) {
  TempDir dir;
  copyExamples(dir);
  int checked = 0;
  for (const auto& entry : fs::directory_iterator(kExamples / "expected")) {
    const std::string name = entry.path().stem().string();
    const LinkProcess ran =
        runTorvakLink(dir, "--no-progress --on-problem=stop " + dir.file(name + ".ini"));
    EXPECT_EQ(ran.exitCode, 0) << name;
    EXPECT_EQ(ran.out, readWholeFile(entry.path().string())) << name;
    EXPECT_TRUE(fs::exists(dir.path() / (name + "-report.txt"))) << name;
    ++checked;
  }
  EXPECT_GE(checked, 6);
}

// The described evaluation and any thread count print the same reports as the default run.
TEST(ShippedExamples, ReferenceEvaluationAndThreadCountsPrintTheSameReports) {
  TempDir dir;
  copyExamples(dir);
  for (const auto& entry : fs::directory_iterator(kExamples / "expected")) {
    const std::string name = entry.path().stem().string();
    for (const char* options : {"--reference-evaluation", "--threads 1", "--threads 7"}) {
      const LinkProcess ran = runTorvakLink(
          dir, std::string("--no-progress ") + options + " " + dir.file(name + ".ini"));
      EXPECT_EQ(ran.exitCode, 0) << name << " " << options;
      EXPECT_EQ(ran.out, readWholeFile(entry.path().string())) << name << " " << options;
    }
  }
}
