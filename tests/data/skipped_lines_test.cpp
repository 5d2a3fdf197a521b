// Skipped lines before the first record: a header that contradicts the format is refused, a
// skipped line that reads as an item is noted with the skip list that reads it.
#include "data/skipped_lines.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

SkippedLinesCheck check(const std::string& text, const std::string& format,
                        const std::string& rowSkip) {
  std::istringstream in(text);
  return checkSkippedLines(in, {"items.txt", format, rowSkip, 0});
}

const char* const kBilogItem =
    "E01     CIVICS    -0.14069   0.03860   0.59758   0.02114   0.23543   0.05720   0.51297   "
    "0.01815   0.24776   0.01804   0.00000   0.00000             110\n";

}  // namespace

TEST(SkippedLines, HeadersAreCheckedAgainstTheLettersTheyStandOver) {
  struct Case {
    const char* name;
    std::string text;
    const char* format;
    const char* refusal;  // empty: read
  };
  const std::string irtPars = "\"a\" \"b\" \"g\" \"u\"\n\"Item_1\" 1.3 -0.3 0.2 1\n";
  const Case cases[] = {
      {"mirt IRTpars under a slope-intercept format", irtPars, "XADCX",
       "items.txt: line 1 names the columns: '\"b\"' names a difficulty, but it stands over "
       "letter D (an intercept) of column format XADCX. Column format XABCX reads the columns as "
       "they are named."},
      {"mirt IRTpars under its own format", irtPars, "XABCX", ""},
      {"mirt slope-intercept, two dimensions", "\"a1\" \"a2\" \"d\" \"g\" \"u\"\nI1 1 1 0 0.2 1\n",
       "XAADCX", ""},
      {"a header as long as the records", "item slope intercept guessing\ni1 1 0 0.2\n", "XADC",
       ""},
      {"ltm b a read as a b", "Dffclt Dscrmn\nI1 -0.5 1.2\n", "XAB",
       "items.txt: line 1 names the columns: 'Dffclt' names a difficulty, but it stands over "
       "letter A (a slope) of column format XAB. Column format XBA reads the columns as they are "
       "named."},
      {"a guessing column read as a slope", "a1 g d\n1 0.2 0\n", "AAD",
       "items.txt: line 1 names the columns: 'g' names a guessing parameter, but it stands over "
       "letter A (a slope) of column format AAD. Column format ACD reads the columns as they are "
       "named."},
      {"standard errors read as thetas", "\"\" \"F1\" \"SE_F1\"\n\"1\" 0.1 0.3\n", "XTT",
       "items.txt: line 1 names the columns: '\"SE_F1\"' names a column that is passed over, but "
       "it stands over letter T (a theta coordinate) of column format XTT. Column format XTX reads "
       "the columns as they are named."},
      {"a title is no header", "Calibration of 20 items\ni1 1 0 0.2\n", "XADC", ""},
      {"unknown names are not checked", "v1 v2 v3\n1 0 0.2\n", "ADC", ""},
      {"graded intercepts under E", "\"a1\" \"d1\" \"d2\"\nI1 1 0.5 -0.2\n", "XAEE", ""},
      {"2PL and gpcm under D, S and Q",
       "\"a1\" \"d\" \"ak0\" \"ak1\" \"d0\" \"d1\"\nI1 1 NA 0 1 0 0.5\n", "XADXSXQ", ""},
      {"a category intercept read as a slope", "a1 d1 d2\nI1 1 0.5 -0.2\n", "XAAE",
       "items.txt: line 1 names the columns: 'd1' names an intercept, but it stands over letter A "
       "(a slope) of column format XAAE. Column format XADE reads the columns as they are "
       "named."},
      {"a category score read as a slope", "\"a1\" \"ak0\" \"ak1\" \"d1\"\nI1 1 0 1 0.5\n",
       "XAAXQ",
       "items.txt: line 1 names the columns: '\"ak0\"' names a partial credit item's category "
       "score, but it stands over letter A (a slope) of column format XAAXQ. Column format XAXXQ "
       "reads the columns as they are named."},
      {"a slope read as a category count", "item a1 d\ni1 1 0.5\n", "XKD",
       "items.txt: line 1 names the columns: 'a1' names a slope, but it stands over letter K (a "
       "graded item's category count) of column format XKD. Column format XAD reads the columns "
       "as they are named."},
      // 'd3' stands over A here, but over R in the record of a 4-category item.
      {"columns past R are not paired by place", "item k d d2 d3\ni1 3 0.5 0.1 1.0\n", "XKDRA",
       ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(check(c.text, c.format, "{1}").refusal, c.refusal);
  }
}

TEST(SkippedLines, ASkippedLineThatReadsAsAnItemIsNotedWithTheListThatReadsIt) {
  // Two title lines, the second blank (not counted), the subtest lines, then the items.
  const std::string file =
      std::string("CIVICS TEST\n\n   1   2\n   2\n") + kBilogItem + kBilogItem;
  const char* format = "XXDXAXXXXXCXXXX";
  const SkippedLinesCheck tooLong = check(file, format, "{1-4}");
  EXPECT_EQ(tooLong.refusal, "");
  EXPECT_EQ(tooLong.note,
            "items.txt: line 5 (line 4 as row-skip lists count: blank lines are not counted) is "
            "passed over by the row-skip list {1-4} but reads as a whole record of column format "
            "XXDXAXXXXXCXXXX. If it is an item, the row-skip list {1-3} reads it.");
  EXPECT_EQ(check(file, format, "{1-3}").note, "");
  EXPECT_EQ(check(file, format, "{1-5}").note.find("(and 1 more such lines)") != std::string::npos,
            true);
  // A guessing value out of range, or a label where a number stands, is no record.
  EXPECT_EQ(check("0.5 1.2 1.5\n1 0 0.2\n", "ADC", "{1}").note, "");
  EXPECT_EQ(check("label 1.2 0.1\n1 0 0.2\n", "ADC", "{1}").note, "");
  EXPECT_NE(check("1.1 -0.4 0.15\n1 0 0.2\n", "ADC", "{1}").note, "");
  // In a table of category intercepts, NA stands where an item has no such parameter.
  EXPECT_NE(check("1.1 NA 0.5 -0.2\n1 NA 0.4 -0.1\n", "ADEE", "{1}").note, "");
  EXPECT_EQ(check("1.1 NA 0.5 -0.2\n1 NA 0.4 -0.1\n", "AAEE", "{1}").note, "");
}
