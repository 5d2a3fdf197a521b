#include "params/choice_list.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
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

TEST(ChoiceList, FormatOptionsAreTakenOnlyFromATokenOfOptionWords) {
  struct Case {
    std::string token;  // empty: the entry ends after its name
    bool hasOptions;
    char separator;  // '\0': none named
    bool line;
    int metric;  // -1 none named, 0 logistic, 1 normal
  } cases[] = {
      {"", false, '\0', false, -1},
      {"-", false, '\0', false, -1},
      {"csv", false, '\0', false, -1},
      {"comma", true, ',', false, -1},
      {"semicolon", true, ';', false, -1},
      {"tab", true, '\t', false, -1},
      {"line", true, '\0', true, -1},
      {"normal", true, '\0', false, 1},
      {"logistic", true, '\0', false, 0},
      {"Tab,LINE,Logistic", true, '\t', true, 0},
      // The last word of a kind counts; one word that is no option spoils all.
      {"comma,tab,normal,logistic", true, '\t', false, 0},
      {"comma,lines", false, '\0', false, -1},
      {"comma,", false, '\0', false, -1},
      {",", false, '\0', false, -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("\"" + c.token + "\"");
    const ChoiceList list =
        read("[R_C_FORMAT] $Own - 0 A $Preset " + (c.token.empty() ? "" : c.token + " 1 XA"));
    ASSERT_EQ(list.formats.size(), 2u);
    const FormatPreset& preset = list.formats[1];
    EXPECT_EQ(preset.hasOptions, c.hasOptions);
    EXPECT_EQ(preset.separator.value_or('\0'), c.separator);
    EXPECT_EQ(preset.oneRecordPerLine, c.line);
    EXPECT_EQ(preset.normalMetric ? int(*preset.normalMetric) : -1, c.metric);
    EXPECT_EQ(preset.rowSkip + preset.columnFormat, c.token.empty() ? "" : "1XA");
  }
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

// Presets of the delivered file read lines as the calibration programs write them; the first
// record read is compared as slopes, intercept and guessing (an item file) or thetas.
TEST(ChoiceList, DeliveredProgramFormatsReadTheProgramsLines) {
  std::ifstream in(std::string(TORVAK_SOURCE_DIR) + "/resources/dlginip.tvk");
  const ChoiceList list = readChoiceList(in);
  const double g15 = 1 / (1 + std::exp(1.5));
  struct Case {
    std::string preset, text;
    int records;
    std::vector<double> first;
  } cases[] = {
      {"mirt coef simplify items, write.csv, logistic (2 dimensions)",
       "\"\",\"a1\",\"a2\",\"d\",\"g\",\"u\"\n\"Item.1\",-2.008,0.5,0.8212,0.1532,1\n",
       1,
       {-2.008, 0.5, 0.8212, 0.1532}},
      {"mirt coef simplify IRTpars (a b g u), write.csv, logistic (1 dimension)",
       "\"\",\"a\",\"b\",\"g\",\"u\"\n\"Item.1\",1.5,0.4,0.2,1\n",
       1,
       {1.5, -0.6, 0.2}},
      {"flexMIRT prm.txt 3PL items, tab, logistic (1 dimension)",
       "1\tv1\t1\t1\t1\t2\t-1.5\t-0.5641917\t1.8390710\r\n",
       1,
       {1.839071, -0.5641917, g15}},
      {"IRTPRO prm.txt 3PL items, tab, logistic (1 dimension)",
       "v1\t1\t1\t2\t1.2\t-0.3\t-1.5\t0.25\t0.18\n",
       1,
       {1.2, -0.3, g15}},
      {"PARSCALE PAR dichotomous items, up to 30 blocks, normal metric",
       "title one\ntitle two\nSEPARATE 2 2 2 0\n 1 1\n\nGROUP 01\n"
       "FREEDC 20001 0.78668 0.11938 1.45392 0.14486 0.26424 0.03718\n"
       " 0.0 0.0\n 0.0 0.0\n"
       "OTHER 20001 0.5 0.1 -1.0 0.1 0.2 0.01\n 0.0 0.0\n 0.0 0.0\n",
       2,
       {0.78668, -0.78668 * 1.45392, 0.26424}},
      {"mirt fscores full.scores.SE, write.csv (2 dimensions)",
       "\"\",\"F1\",\"F2\",\"SE_F1\",\"SE_F2\"\n\"1\",0.1,-0.2,0.3,0.31\n",
       1,
       {0.1, -0.2}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.preset);
    const auto preset = std::find_if(list.formats.begin(), list.formats.end(),
                                     [&](const FormatPreset& p) { return p.name == c.preset; });
    ASSERT_NE(preset, list.formats.end());
    const std::string& format = preset->columnFormat;
    const int slopes = static_cast<int>(std::count(format.begin(), format.end(), 'A'));
    const int perRecord = slopes + static_cast<int>(std::count(format.begin(), format.end(), 'T'));
    const bool guessing = format.find_first_of("CG") != std::string::npos;
    std::vector<double> a(c.records * perRecord), d(slopes > 0 ? c.records : 0),
        g(guessing ? c.records : 0);
    DataFileSpec spec{c.preset, format, "{" + preset->rowSkip + "}"};  // as a run reads it
    spec.separator = preset->separator.value_or(' ');
    spec.oneRecordPerLine = preset->oneRecordPerLine ? 1 : 0;
    std::istringstream file(c.text);
    const ItemFileResult result = readItemStream(file, spec, 0, {a, d, g, slopes});
    ASSERT_EQ(result.code, 0) << result.message;
    EXPECT_EQ(result.records, c.records);
    std::vector<double> first(a.begin(), a.begin() + perRecord);
    if (!d.empty()) first.push_back(d[0]);
    if (!g.empty()) first.push_back(g[0]);
    ASSERT_EQ(first.size(), c.first.size());
    for (std::size_t i = 0; i < first.size(); ++i) EXPECT_NEAR(first[i], c.first[i], 1e-9) << i;
  }
}
