#include "params/token_reader.h"

#include <gtest/gtest.h>

#include <sstream>

TEST(TokenReader, SplitsOnAnyWhiteSpaceAndNamesLines) {
  std::istringstream in("[REDevar Parameters]\r\n\tModel_Type=  3\r\n\r\nlast");
  TokenReader reader(in);
  std::string token;
  std::vector<std::pair<std::string, int>> seen;
  while (reader.next(token)) seen.emplace_back(token, reader.line());
  const std::vector<std::pair<std::string, int>> expected{
      {"[REDevar", 1}, {"Parameters]", 1}, {"Model_Type=", 2}, {"3", 2}, {"last", 4}};
  EXPECT_EQ(seen, expected);
  EXPECT_EQ(reader.line(), 4);  // a failed read keeps the line of the last token
}

TEST(TokenReader, KeysCompareWithoutCase) {
  EXPECT_TRUE(tokenIsKey("to_Column_Format=", "To_Column_Format="));
  EXPECT_TRUE(tokenIsKey("MODEL_TYPE=", "Model_Type="));
  EXPECT_FALSE(tokenIsKey("Model_Type", "Model_Type="));
  EXPECT_FALSE(tokenIsKey("Model_Type=3", "Model_Type="));
}

TEST(TokenReader, IntegersMustFillTheTokenAndFitAnInt) {
  int value = 7;
  EXPECT_TRUE(parseIntToken("-12", value));
  EXPECT_EQ(value, -12);
  EXPECT_TRUE(parseIntToken("+4", value));
  EXPECT_EQ(value, 4);
  for (const char* bad : {"", "+", "3.0", "3x", "0x10", "2147483648", "+-1", "four"}) {
    EXPECT_FALSE(parseIntToken(bad, value)) << bad;
  }
  EXPECT_EQ(value, 4);  // untouched by a refusal
}

TEST(TokenReader, RealsMustBeFiniteAndFillTheToken) {
  double value = 0;
  EXPECT_TRUE(parseDoubleToken("1e-8", value));
  EXPECT_DOUBLE_EQ(value, 1e-8);
  EXPECT_TRUE(parseDoubleToken("-4.", value));
  EXPECT_DOUBLE_EQ(value, -4.0);
  EXPECT_TRUE(parseDoubleToken("+.5", value));
  EXPECT_DOUBLE_EQ(value, 0.5);
  for (const char* bad : {"nan", "inf", "-infinity", "1e999", "1.5.2", "1,5", "0x1p3", ""}) {
    EXPECT_FALSE(parseDoubleToken(bad, value)) << bad;
  }
}

TEST(TokenReader, LeadingIntegerOfAnEntryNumber) {
  long long value = 0;
  EXPECT_TRUE(parseLeadingInt("12=", value));
  EXPECT_EQ(value, 12);
  EXPECT_TRUE(parseLeadingInt("3", value));
  EXPECT_EQ(value, 3);
  EXPECT_FALSE(parseLeadingInt("=", value));
  EXPECT_FALSE(parseLeadingInt("99999999999999999999=", value));
}
