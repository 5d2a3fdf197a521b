// Every row of the bad-input catalogue through torvak-link: the message, the exit status,
// and no partial report block.
#include <gtest/gtest.h>

#include "support/bad_inputs.h"
#include "support/link_process.h"

TEST(BadInputCatalogue, TorvakLinkAnswersEveryRow) {
  for (const BadInput& input : badInputs()) {
    if (const std::string why = skipReason(input); !why.empty()) {
      std::printf("skipped '%s': %s\n", input.name.c_str(), why.c_str());
      continue;
    }
    TempDir dir;
    const std::string path = input.write(dir);
    const LinkProcess ran = runTorvakLink(dir, "--no-progress --on-problem=stop " + path);
    bool accepted = false;
    for (int code : input.exits) accepted = accepted || ran.exitCode == code;
    EXPECT_TRUE(accepted) << input.name << ": exit " << ran.exitCode << "\n" << ran.err;
    EXPECT_NE(ran.err.find(input.shown), std::string::npos) << input.name << "\n" << ran.err;
    EXPECT_TRUE(onlyWholeBlocks(readWholeFile(dir.file("report.txt")))) << input.name;
    EXPECT_TRUE(onlyWholeBlocks(ran.out)) << input.name;
  }
}
