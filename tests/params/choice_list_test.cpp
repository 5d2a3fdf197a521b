#include "params/choice_list.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "data/item_file.h"
#include "params/choice_list_file.h"
#include "support/temp_dir.h"

namespace {

ChoiceList read(const std::string& text) {
  std::istringstream in(text);
  return readChoiceList(in);
}

using Names = std::vector<std::string>;

}  // namespace

TEST(ChoiceList, SectionsInAnyOrderAndLetterCaseFillTheSameLists) {
  const ChoiceList list = read(
      "ignored words [unknown] skipped too\n"
      "[grid_point_number] 21 11 0 [theta_dimension] 1 2 10\n"
      "[Model_Type] 1_Least_squares 4_Items [Parameterization] 1_Plain\n"
      "[Grid_Range_B] -4.0 [Grid_Range_E] 4.0 3.5\n"
      "[FILE_TYPE] From To Emp");
  EXPECT_EQ(list.dimensions, (Names{"1", "2", "10"}));
  EXPECT_EQ(list.gridPoints, (Names{"21", "11", "0"}));
  EXPECT_EQ(list.models, (Names{"1 Least squares", "4 Items"}));
  EXPECT_EQ(list.parameterizations, (Names{"1 Plain"}));
  EXPECT_EQ(list.rangeBegins, (Names{"-4.0"}));
  EXPECT_EQ(list.rangeEnds, (Names{"4.0", "3.5"}));
  // The last entry of the last section is taken without a line end after it.
  EXPECT_EQ(list.fileRoles, (Names{"From", "To", "Emp"}));
  EXPECT_EQ(list.titlePrefix, "");
  EXPECT_EQ(entryCode(list.models[0]), "1");
  EXPECT_EQ(entryCode("7"), "7");
}

TEST(ChoiceList, FormatEntriesTakeNameRowAndColumnAndSkipExtraTokens) {
  const ChoiceList list = read(
      "[R_C_FORMAT] $Own - 0 A\n"
      "$Two_words x 1-3 XXDA extra words\n"
      "$Short x 5\n"
      "[Dailog_Title] skipped Torvak  Linking\tParameters");
  ASSERT_EQ(list.formats.size(), 3u);
  EXPECT_EQ(list.formats[1].name, "Two words");
  EXPECT_EQ(list.formats[1].rowSkip, "1-3");
  EXPECT_EQ(list.formats[1].columnFormat, "XXDA");
  // A missing column token leaves an empty text, the entry count stays.
  EXPECT_EQ(list.formats[2].rowSkip, "5");
  EXPECT_EQ(list.formats[2].columnFormat, "");
  EXPECT_EQ(list.titlePrefix, "Torvak Linking Parameters");
}

TEST(ChoiceList, DeliveredFileOffersTheEngineCodesAndZeroGridLast) {
  std::ifstream in(std::string(TORVAK_SOURCE_DIR) + "/resources/dlginip.tvk");
  ASSERT_TRUE(in);
  const ChoiceList list = readChoiceList(in);
  Names codes;
  for (const std::string& model : list.models) codes.push_back(entryCode(model));
  EXPECT_EQ(codes, (Names{"1", "3", "4"}));
  ASSERT_FALSE(list.gridPoints.empty());
  EXPECT_EQ(list.gridPoints.back(), "0");
  EXPECT_EQ(list.dimensions.back(), "25");
  EXPECT_EQ(list.fileRoles.size(), 3u);
  EXPECT_EQ(list.parameterizations.size(), 4u);
  for (const std::string& range : list.rangeBegins) EXPECT_NE(range.find('.'), std::string::npos);
  for (const std::string& range : list.rangeEnds) EXPECT_NE(range.find('.'), std::string::npos);
  ASSERT_GT(list.formats.size(), 20u);
  for (const FormatPreset& preset : list.formats) {
    EXPECT_FALSE(preset.columnFormat.empty()) << preset.name;
    EXPECT_EQ(preset.columnFormat.find_first_not_of(kColumnLetters), std::string::npos)
        << preset.name;
  }
}

TEST(ChoiceListFile, FirstFolderThatHoldsTheFileWinsAndAMissingFileNamesEveryPathTried) {
  TempDir one, two;
  two.write("dlginip.tvk", "[Theta_Dimension] 3");
  const ChoiceListSearch found = findChoiceList({one.path().string(), two.path().string()});
  EXPECT_TRUE(found.found);
  EXPECT_EQ(found.path, two.file("dlginip.tvk"));
  EXPECT_EQ(found.list.dimensions, (Names{"3"}));

  const ChoiceListSearch missing = findChoiceList({one.path().string(), "/no/such/folder/"});
  EXPECT_FALSE(missing.found);
  EXPECT_EQ(missingChoiceListText(missing),
            "File dlginip.tvk missing\n\nLooked for:\n" + one.file("dlginip.tvk") +
                "\n/no/such/folder/dlginip.tvk");
}
