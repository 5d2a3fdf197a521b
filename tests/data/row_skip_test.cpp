#include "data/row_skip.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<int> skippedLines(const std::string& list, int upTo) {
  std::vector<int> lines;
  for (int line = 1; line <= upTo; ++line) {
    if (rowIsSkipped(list, line)) lines.push_back(line);
  }
  return lines;
}

}  // namespace

TEST(RowSkip, SingleNumbersAndRanges) {
  EXPECT_EQ(skippedLines("{1-2}", 6), (std::vector<int>{1, 2}));
  EXPECT_EQ(skippedLines("{1}", 6), (std::vector<int>{1}));
  EXPECT_EQ(skippedLines("{2,4-5}", 6), (std::vector<int>{2, 4, 5}));
}

TEST(RowSkip, RepeatingBlockSkipsThenKeeps) {
  EXPECT_EQ(skippedLines("{3S2R1}", 11), (std::vector<int>{3, 4, 6, 7, 9, 10}));
  EXPECT_EQ(skippedLines("{10S2R3}", 9), std::vector<int>{});
  EXPECT_EQ(skippedLines("{10S2R3}", 20), (std::vector<int>{10, 11, 15, 16, 20}));
}

TEST(RowSkip, BlockWithoutRepeatSkipsKLines) {
  EXPECT_EQ(skippedLines("{10S2}", 20), (std::vector<int>{10, 11}));
  EXPECT_EQ(skippedLines("{1-2,5,10S2,20S1R3}", 28),
            (std::vector<int>{1, 2, 5, 10, 11, 20, 24, 28}));
}

TEST(RowSkip, LastNumberWithoutClosingMarkMatchesNothing) {
  EXPECT_EQ(skippedLines("{1,3", 5), (std::vector<int>{1}));
  EXPECT_EQ(skippedLines("1,3;", 5), (std::vector<int>{1}));
}

TEST(RowSkip, ShortOrDigitlessListsSkipNothing) {
  EXPECT_EQ(skippedLines("", 3), std::vector<int>{});
  EXPECT_EQ(skippedLines("1}", 3), std::vector<int>{});  // two characters
  EXPECT_EQ(skippedLines("{a,b}", 3), std::vector<int>{});
}

TEST(RowSkip, ZeroPeriodAndOverflowingNumbersMatchNothing) {
  EXPECT_EQ(skippedLines("{1S0R0}", 5), std::vector<int>{});
  EXPECT_EQ(skippedLines("{4294967297}", 5), std::vector<int>{});  // 2^32 + 1
  EXPECT_EQ(skippedLines("{1-4294967296,3}", 5), (std::vector<int>{3}));
  EXPECT_EQ(skippedLines("{1S99999999999}", 5), std::vector<int>{});
  EXPECT_EQ(rowIsSkipped("{2147483647}", 2147483647LL), 1);
}
