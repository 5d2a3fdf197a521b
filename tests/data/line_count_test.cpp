#include "data/line_count.h"

#include <gtest/gtest.h>

#include <sstream>

#include "support/temp_dir.h"

namespace {

std::int64_t count(const std::string& text, std::string_view rowSkip = "") {
  std::istringstream in(text);
  return countDataLinesIn(in, rowSkip);
}

}  // namespace

TEST(LineCount, BlankLinesAreNeitherCountedNorNumbered) {
  EXPECT_EQ(count("a\n\n   \t\nb\n\n"), 2);
  // Line 2 of the numbering is "c", the blank lines between do not count.
  EXPECT_EQ(count("a\n\n \nc\nd\n", "{2}"), 2);
}

TEST(LineCount, SkippedLinesAreNotCounted) {
  EXPECT_EQ(count("h1\nh2\n1\n2\n3\n", "{1-2}"), 3);
  EXPECT_EQ(count("1\n2\n3\n4\n5\n6\n7\n", "{3S2R1}"), 3);  // lines 3, 4 and 6, 7 skipped
}

TEST(LineCount, LastLineNeedsNoLineEndAndCrLfCountsOnce) {
  EXPECT_EQ(count("1 2\r\n3 4\r\n5 6"), 3);
  EXPECT_EQ(count("1\r\n\r\n"), 1);
  EXPECT_EQ(count(""), 0);
}

TEST(LineCount, LongLinesCountOnce) {
  EXPECT_EQ(count(std::string(5000, 'x') + "\n" + std::string(300, '1') + "\n"), 2);
}

TEST(LineCount, FileThatCannotBeOpenedGivesNoCount) {
  TempDir dir;
  EXPECT_FALSE(countDataLinesOfFile(dir.file("missing.txt"), "").has_value());
  EXPECT_FALSE(countDataLinesOfFile(dir.path().string(), "").has_value());
  EXPECT_EQ(countDataLinesOfFile(dir.write("f.txt", "h\n1\n2\n"), "{1}"), 2);
}
