// Every shipped example loaded into the Linking Parameters form and saved again runs to the
// same report, and is written back as it was.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "params/choice_list.h"
#include "params/linking_parameters_form.h"
#include "support/link_process.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;

TEST(LinkingParametersFormRoundTrip, ExamplesLoadedAndSavedRunToTheSameReports) {
  const fs::path examples = fs::path(TORVAK_SOURCE_DIR) / "examples";
  std::ifstream choiceFile(fs::path(TORVAK_SOURCE_DIR) / "resources" / "dlginip.tvk");
  const ChoiceList choices = readChoiceList(choiceFile);
  TempDir dir;
  for (const auto& entry : fs::directory_iterator(examples)) {
    if (entry.path().extension() == ".dat") {
      fs::copy_file(entry.path(), dir.path() / entry.path().filename());
    }
  }
  int checked = 0;
  for (const auto& entry : fs::directory_iterator(examples / "expected")) {
    const std::string name = entry.path().stem().string();
    SCOPED_TRACE(name);
    const std::string original = (examples / (name + ".ini")).string();
    LinkingParametersForm form(choices, original);
    ASSERT_EQ(form.loadFile(original).kind, FormLoadResult::Loaded);
    ASSERT_EQ(form.checkForSave(), std::nullopt);
    const std::string saved = dir.file(name + ".ini");
    ASSERT_EQ(form.writeFile(saved, true), std::nullopt);
    EXPECT_EQ(readWholeFile(saved), readWholeFile(original));

    const LinkProcess ran = runTorvakLink(dir, "--no-progress --on-problem=stop " + saved);
    EXPECT_EQ(ran.exitCode, 0);
    EXPECT_EQ(ran.out, readWholeFile(entry.path().string()));
    ++checked;
  }
  EXPECT_GE(checked, 6);
}
