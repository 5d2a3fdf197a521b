#include "data/field_splitter.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct SplitCase {
  const char* name;
  std::string line;
  char separator;
  std::vector<std::string> fields;
};

}  // namespace

TEST(FieldSplitter, SplitsLinesAsTheirWritersQuoteThem) {
  using V = std::vector<std::string>;
  const SplitCase cases[] = {
      {"whitespace words", "  item1 1.2\t-0.5  ", ' ', V{"item1", "1.2", "-0.5"}},
      {"whitespace keeps quotes as text", "\"Item 1\" 2", ' ', V{"\"Item", "1\"", "2"}},
      {"write.csv row", "\"Item.1\",-2.0085,0.8212,0.1532,1", ',',
       V{"Item.1", "-2.0085", "0.8212", "0.1532", "1"}},
      {"write.csv header", "\"\",\"a1\",\"d\"", ',', V{"", "a1", "d"}},
      {"separator inside quotes", "\"a,b\",1", ',', V{"a,b", "1"}},
      {"doubled quote is a quote", "\"say \"\"hi\"\"\";2", ';', V{"say \"hi\"", "2"}},
      {"two separators make an empty field", "1,,3", ',', V{"1", "", "3"}},
      {"separator at the end makes an empty field", "1;2;", ';', V{"1", "2", ""}},
      {"blanks around fields are dropped", "  1 , \"x\" ,  3  ", ',', V{"1", "x", "3"}},
      {"blanks inside a field stay", "Item 1,2", ',', V{"Item 1", "2"}},
      {"tab fields keep blanks out", "a b\t 2 \t\t4", '\t', V{"a b", "2", "", "4"}},
      {"CR LF line end", "1,2\r", ',', V{"1", "2"}},
      {"CR after an empty last field", "1,\r", ',', V{"1", ""}},
      {"blank line holds no field", " \r", ',', V{}},
      {"unclosed quote runs to the end", "\"a,b", ',', V{"a,b"}},
      {"NA stays a word", "\"3\",NA,0.31", ',', V{"3", "NA", "0.31"}},
  };
  for (const SplitCase& c : cases) {
    EXPECT_EQ(splitFields(c.line, c.separator), c.fields) << c.name;
  }
}
