#include "params/unread_keys.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

std::vector<UnreadKey> scan(const std::string& text) {
  std::istringstream in(text);
  return findUnreadKeys(in);
}

}  // namespace

TEST(UnreadKeys, WordsThatLookLikeKeysAreNamedWithTheKeyMeant) {
  struct Case {
    const char* text;
    UnreadKey::Kind kind;
    const char* word;
    const char* suggestion;
  };
  const Case cases[] = {
      {"Modle_Type= 3", UnreadKey::Misspelt, "Modle_Type=", "Model_Type="},
      {"theta_dimensoin= 2", UnreadKey::Misspelt, "theta_dimensoin=", "Theta_Dimension="},
      {"Number_Of_Grids= 5", UnreadKey::Misspelt, "Number_Of_Grids=", "Number_Of_Grid="},
      {"Model_Type=3", UnreadKey::ValueJoined, "Model_Type=3", "Model_Type= 3"},
      {"Modle_Type=3", UnreadKey::ValueJoined, "Modle_Type=3", "Model_Type= 3"},
      {"Model_Type = 3", UnreadKey::LoneEquals, "=", "Model_Type="},
      {"$Data_File 2= a b", UnreadKey::EntryNumber, "2=", ""},
      {"Colour= red", UnreadKey::Unknown, "Colour=", ""},
      {"a=b", UnreadKey::Unknown, "a=b", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    const auto found = scan(std::string("[Head]\n") + c.text + "\n");
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].kind, c.kind);
    EXPECT_EQ(found[0].word, c.word);
    EXPECT_EQ(found[0].suggestion, c.suggestion);
    EXPECT_EQ(found[0].line, 2);
  }
}

TEST(UnreadKeys, WordsThatAReaderTakesAreNotNamed) {
  // Keys in any case, values holding "=", entry numbers and file names of entries (three on
  // no grid, two on a grid), and a section header after a two-name entry.
  EXPECT_TRUE(scan("MODEL_TYPE= 3 Output_File_Name= a=b.txt Other_File_1= x=y\n"
                   "Number_Of_Grid= 0\n"
                   "$Data_Files 1= f=1.txt t=1.txt e=1.txt\n"
                   "$Data_Files 2= f.txt t.txt\n[Other Parameters]\n")
                  .empty());
  EXPECT_TRUE(
      scan("Number_Of_Grid= 5 $Data_Files 1= f.txt t.txt $Data_Files 2= g.txt u.txt\n").empty());
  // On a grid an entry has two names: a third word with "=" is named.
  const auto third = scan("Number_Of_Grid= 5\n$Data_Files 1= f.txt t.txt Search_Metod= 1\n");
  ASSERT_EQ(third.size(), 1u);
  EXPECT_EQ(third[0].suggestion, "Search_Method=");
}

TEST(UnreadKeys, DescriptionsSayWhatToWrite) {
  const auto found = scan("Model_Type=3\nModle_Type= 3\n");
  ASSERT_EQ(found.size(), 2u);
  EXPECT_EQ(describeUnreadKey(found[0]),
            "line 1: 'Model_Type=3' is not read: a key ends at its '=' and its value is the "
            "next word; write 'Model_Type= 3'");
  EXPECT_EQ(describeUnreadKey(found[1]),
            "line 2: 'Modle_Type=' is not a key that is read; did you mean 'Model_Type='?");
  EXPECT_EQ(keyDistance("Modle_Type=", "model_type="), 1);
  EXPECT_EQ(keyDistance("", "abc"), 3);
}
