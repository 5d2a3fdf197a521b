// The shipped examples must be exactly what make-examples writes, so that they can always be
// regenerated, and every example run needs its expected report.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>

#include "support/temp_dir.h"

namespace fs = std::filesystem;

namespace {

const fs::path kExamples = fs::path(TORVAK_SOURCE_DIR) / "examples";

std::string quoted(const fs::path& path) { return "'" + path.string() + "'"; }

// make-examples is built beside torvak-link; build it there when a partial build left it out.
fs::path generatorPath() {
  const fs::path buildDir = fs::path(TORVAK_LINK_EXE).parent_path();
  const fs::path generator = buildDir / "make-examples";
  if (!fs::exists(generator)) {
    const std::string command =
        "cmake --build " + quoted(buildDir) + " --target make-examples > /dev/null 2>&1";
    (void)std::system(command.c_str());
  }
  return generator;
}

// Names of the regular files in folder whose extension is one of extensions.
std::set<std::string> filesIn(const fs::path& folder, const std::set<std::string>& extensions) {
  std::set<std::string> names;
  for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
    if (entry.is_regular_file() && extensions.count(entry.path().extension().string()) > 0) {
      names.insert(entry.path().filename().string());
    }
  }
  return names;
}

}  // namespace

TEST(MakeExamples, RegeneratesTheCommittedExamplesByteForByte) {
  const fs::path generator = generatorPath();
  ASSERT_TRUE(fs::exists(generator)) << generator;
  TempDir out;
  const fs::path folder = out.path() / "examples";
  const std::string command = quoted(generator) + " " + quoted(folder);
  ASSERT_EQ(std::system(command.c_str()), 0) << command;

  const std::set<std::string> generated = filesIn(folder, {".ini", ".dat"});
  ASSERT_FALSE(generated.empty());
  for (const std::string& name : generated) {
    SCOPED_TRACE(name);
    ASSERT_TRUE(fs::exists(kExamples / name)) << "not committed: examples/" << name;
    EXPECT_EQ(readWholeFile((folder / name).string()), readWholeFile((kExamples / name).string()))
        << "examples/" << name << " differs from what make-examples writes";
  }
  // A committed data or parameter file that the generator no longer writes is stale.
  EXPECT_EQ(filesIn(kExamples, {".ini", ".dat"}), generated);
}

TEST(MakeExamples, EveryExampleRunHasAnExpectedReport) {
  for (const std::string& name : filesIn(kExamples, {".ini"})) {
    const fs::path expected = kExamples / "expected" / (fs::path(name).stem().string() + ".txt");
    ASSERT_TRUE(fs::exists(expected)) << expected;
    EXPECT_NE(readWholeFile(expected.string()).find("**********"), std::string::npos)
        << expected << " holds no report block";
  }
}
