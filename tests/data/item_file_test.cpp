#include "data/item_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <sstream>
#include <vector>

#include "support/temp_dir.h"

namespace {

struct Arrays {
  std::vector<double> slopes, intercepts, guessing;
  Arrays(std::size_t s, std::size_t i, std::size_t g)
      : slopes(s, 99.0), intercepts(i, 99.0), guessing(g, 99.0) {}
  ItemFileOutputs outputs(int dimension = 0) { return {slopes, intercepts, guessing, dimension}; }
};

ItemFileResult read(const std::string& text, const std::string& format, Arrays& arrays,
                    const std::string& rowSkip = "", int fileType = 0, int scaleFlag = 0,
                    int dimension = 0) {
  std::istringstream in(text);
  return readItemStream(in, {"items.txt", format, rowSkip, fileType}, scaleFlag,
                        arrays.outputs(dimension));
}

}  // namespace

TEST(ItemFile, LabelSlopeInterceptWithAndWithoutScaling) {
  Arrays plain(1, 1, 1);
  ASSERT_EQ(read("item1 1.2 -0.5\n", "xad", plain).code, 0);
  EXPECT_DOUBLE_EQ(plain.slopes[0], 1.2);
  EXPECT_DOUBLE_EQ(plain.intercepts[0], -0.5);

  Arrays scaled(1, 1, 1);
  ASSERT_EQ(read("item1 1.2 -0.5\n", "XAD", scaled, "", -1, 1).code, 0);
  EXPECT_DOUBLE_EQ(scaled.slopes[0], 2.0424);
  EXPECT_DOUBLE_EQ(scaled.intercepts[0], -0.851);

  Arrays typeZero(1, 1, 1);  // scaling needs both the flag and a non-zero file type
  ASSERT_EQ(read("item1 1.2 -0.5\n", "XAD", typeZero, "", 0, 1).code, 0);
  EXPECT_DOUBLE_EQ(typeZero.slopes[0], 1.2);
}

TEST(ItemFile, DifficultiesBecomeInterceptsFromTheRecordSlopes) {
  Arrays ab(1, 1, 0);
  ASSERT_EQ(read("1.5 0.4", "AB", ab).code, 0);
  EXPECT_DOUBLE_EQ(ab.intercepts[0], -0.6);

  Arrays aabb(4, 2, 0);
  ASSERT_EQ(read("1 2 0.5 0.25\n2 1 1 1\n", "AABB", aabb).code, 0);
  EXPECT_EQ(aabb.slopes, (std::vector<double>{1, 2, 2, 1}));
  EXPECT_EQ(aabb.intercepts, (std::vector<double>{-1, -3}));

  // Scaled slopes give the intercept, which is not scaled a second time.
  Arrays scaled(1, 1, 0);
  ASSERT_EQ(read("1.5 0.4\n", "AB", scaled, "", 1, 1).code, 0);
  EXPECT_DOUBLE_EQ(scaled.intercepts[0], -0.6 * 1.702);
}

TEST(ItemFile, GuessingIsReadOrSetToZero) {
  Arrays withC(2, 2, 2);
  ASSERT_EQ(read("1 0.5 0.2\n2 0.1 0.3\n", "ADC", withC).code, 0);
  EXPECT_EQ(withC.guessing, (std::vector<double>{0.2, 0.3}));
  Arrays withoutC(2, 2, 2);
  ASSERT_EQ(read("1 0.5\n2 0.1\n", "AD", withoutC).code, 0);
  EXPECT_EQ(withoutC.guessing, (std::vector<double>{0, 0}));
}

TEST(ItemFile, ThetaCoordinatesAreNeverScaled) {
  Arrays thetas(4, 0, 0);
  ItemFileResult r = read("0.5 -1\n1 2\n", "TT", thetas, "", -1, 1);
  ASSERT_EQ(r.code, 0) << r.message;
  EXPECT_EQ(r.records, 2);
  EXPECT_EQ(thetas.slopes, (std::vector<double>{0.5, -1, 1, 2}));
}

TEST(ItemFile, SkipListsPassOverHeaderAndRepeatedLines) {
  Arrays header(2, 2, 0);
  ASSERT_EQ(read("name a d\n-- --\n1 0.1\n2 0.2\n", "AD", header, "{1-2}").code, 0);
  EXPECT_EQ(header.slopes, (std::vector<double>{1, 2}));

  Arrays one(1, 1, 0);
  ASSERT_EQ(read("header\n3 0.3\n", "AD", one, "{1}").code, 0);
  EXPECT_EQ(one.slopes, (std::vector<double>{3}));

  // Lines 3, 4, 6 and 7 skipped; blank lines do not move the numbering.
  Arrays repeating(3, 3, 0);
  ItemFileResult r = read("1 0\n\n2 0\nx x\n\ny y\n3 0\nz z\nw w\n", "AD", repeating, "{3S2R1}");
  ASSERT_EQ(r.code, 0) << r.message;
  EXPECT_EQ(repeating.slopes, (std::vector<double>{1, 2, 3}));

  Arrays late(3, 3, 0);
  ASSERT_EQ(read("1 0\n2 0\n3 0\n", "AD", late, "{10S2R3}").code, 0);

  Arrays unclosed(2, 2, 0);  // "{2" does not name line 2
  ASSERT_EQ(read("1 0\n2 0\n", "AD", unclosed, "{2").code, 0);
  EXPECT_EQ(unclosed.slopes, (std::vector<double>{1, 2}));
}

TEST(ItemFile, SkipListBeyondTheEndAndTrailingWhiteSpaceEndReading) {
  Arrays arrays(2, 2, 0);
  ItemFileResult r = read("1 0\n2 0\n \n\n", "AD", arrays, "{5-9}");
  EXPECT_EQ(r.code, 0) << r.message;
  EXPECT_EQ(r.records, 2);
  Arrays crlf(2, 2, 0);
  r = read("h\r\n1 0.5\r\n2 0.25\r\n\r\n", "AD", crlf, "{1}");
  EXPECT_EQ(r.code, 0) << r.message;
  EXPECT_EQ(crlf.intercepts, (std::vector<double>{0.5, 0.25}));
}

TEST(ItemFile, FormatsThatCannotFitAreRefusedBeforeReading) {
  const std::vector<std::pair<std::string, std::string>> cases{{"ACC", "has more than one C"},
                                                               {"ADD", "has more than one D"},
                                                               {"ABD", "has both B and D"},
                                                               {"ABB", "has more B than A"},
                                                               {"AAD", "has 2 A for dimension 1"},
                                                               {"?A", "reads no value"},
                                                               {"", "reads no value"}};
  for (const auto& [format, why] : cases) {
    Arrays arrays(1, 1, 1);
    ItemFileResult r = read("1 2 3\n", format, arrays, "", 0, 0, 1);
    EXPECT_EQ(r.code, 2) << format;
    EXPECT_EQ(r.message, "items.txt: column format " + format + " " + why);
    EXPECT_EQ(arrays.slopes[0], 99.0) << format;  // nothing was written
  }
}

TEST(ItemFile, FilesWithAnotherNumberOfRecordsAreRefused) {
  Arrays small(2, 2, 2);
  ItemFileResult r = read("1 0.1\n2 0.2\n3 0.3\n", "AD", small);
  EXPECT_EQ(r.code, 2);
  EXPECT_EQ(r.message,
            "items.txt: line 3: more records than the 2 expected; every line holds 2 words, "
            "column format AD reads 2 per record");

  Arrays large(4, 4, 4);
  r = read("1 0.1\n2 0.2\n3 0.3\n", "AD", large);
  EXPECT_EQ(r.code, 2);
  EXPECT_EQ(r.message, "items.txt: 3 records, 4 expected (column format AD)");

  Arrays wide(2, 2, 0);  // a line with more values than its format shifts the records
  r = read("1 0.1 5\n2 0.2\n", "AD", wide);
  EXPECT_EQ(r.code, 2);
}

TEST(ItemFile, BadWordsAndCutRecordsAreRefused) {
  for (const char* word : {"abc", "1.2x", "nan", "inf", "1e999", "1,5"}) {
    Arrays arrays(2, 2, 0);
    ItemFileResult r = read("1 0.5\r\n2 " + std::string(word) + "\r\n", "AD", arrays);
    EXPECT_EQ(r.code, 2) << word;
    EXPECT_EQ(r.message,
              "items.txt: line 2: '" + std::string(word) + "' is not a number (column format AD)");
  }
  Arrays huge(1, 1, 0);
  EXPECT_EQ(read("1.7e308 0\n", "AD", huge, "", 1, 1).code, 2);
  EXPECT_EQ(read("1e200 -1e200\n", "AB", huge).code, 2);

  Arrays cut(2, 2, 0);
  ItemFileResult r = read("1 0.5\n2\n", "AD", cut);
  EXPECT_EQ(r.code, 2);
  EXPECT_EQ(r.message, "items.txt: line 2: the file ends inside a record (column format AD)");
}

TEST(ItemFile, MissingFileGivesCodeOneWithItsName) {
  TempDir dir;
  Arrays arrays(1, 1, 0);
  const std::string missing = dir.file("missing.txt");
  ItemFileResult r = readItemFile({missing, "AD", "", 0}, 0, arrays.outputs());
  EXPECT_EQ(r.code, 1);
  EXPECT_EQ(r.message, missing);
  r = readItemFile({dir.write("f.txt", "0.7 0.1"), "AD", "", 0}, 0, arrays.outputs());
  EXPECT_EQ(r.code, 0) << r.message;
  EXPECT_EQ(arrays.slopes[0], 0.7);
}

// flexMIRT and IRTPRO write guessing as a logit, TAM the intercept negated: G and N read them
// into the same values as a file that writes g and d as they are.
TEST(ItemFile, LogitGuessingAndNegatedInterceptReadLikeTheirPlainLetters) {
  struct Case {
    std::string text;
    const char* format;
    int fileType;
  };
  const double logit = std::log(0.2 / 0.8);  // g = 0.2
  const std::string logitText = std::to_string(logit);
  const std::string flexLine = "1 v1 1 1 1 2 " + logitText + " -0.5 1.2\n";
  const Case cases[] = {
      {"1.2 -0.5 0.2\n", "ADC", 0},
      {flexLine, "xxxxxxgda", 0},  // letters in any case, intercept before the slope
      {"i1 0.5 1.2 0.2\n", "XNAC", 0},
      {"1.2 0.5 " + logitText + "\n", "ANG", 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.format);
    Arrays arrays(1, 1, 1);
    ASSERT_EQ(read(c.text, c.format, arrays, "", c.fileType, 1, 1).code, 0);
    EXPECT_DOUBLE_EQ(arrays.slopes[0], 1.2);
    EXPECT_DOUBLE_EQ(arrays.intercepts[0], -0.5);
    EXPECT_NEAR(arrays.guessing[0], 0.2, 1e-6);  // the logit was printed to 6 decimals
  }
  Arrays scaled(1, 1, 1);  // N is an intercept: scaled like D in the normal metric
  ASSERT_EQ(read("1.0 0.5\n", "AN", scaled, "", -1, 1, 1).code, 0);
  EXPECT_DOUBLE_EQ(scaled.intercepts[0], -0.851);
}

TEST(ItemFile, NewLettersKeepTheFormatRulesAndRefuseAHugeLogit) {
  struct Case {
    const char* format;
    const char* problem;
  };
  for (const Case& c : {Case{"ADCG", "has more than one C"}, Case{"ADN", "has more than one D"},
                        Case{"ABN", "has both B and D"}}) {
    EXPECT_EQ(columnFormatProblem(c.format, 1), std::string("column format ") + c.format + " " +
                                                    c.problem);
  }
  Arrays arrays(1, 1, 1);
  const ItemFileResult huge = read("1.2 -0.5 40\n", "ADG", arrays);
  EXPECT_EQ(huge.code, 2);
  EXPECT_EQ(huge.message,
            "items.txt: line 1: '40' is not the logit of a guessing parameter (it makes g = 1) "
            "(column format ADG)");
}

// After records and lines went out of step, a failing word names where they parted too.
TEST(ItemFile, AFailureAfterRecordsWentOutOfStepNamesWhereTheyParted) {
  Arrays arrays(4, 4, 4);
  const ItemFileResult result =
      read("1.0 0.1 0.2\n1.1 0.2 0.2 0.9\n1.2 0.3 0.2\nGROUP 1 2\n", "ADC", arrays);
  EXPECT_EQ(result.code, 2);
  EXPECT_EQ(result.message.rfind("items.txt: line 4: 'GROUP' is not a number", 0), 0u)
      << result.message;
  EXPECT_NE(result.message.find("records and lines went out of step first at line 2 (line 2 "
                                "holds 4 words"),
            std::string::npos)
      << result.message;
}

namespace {

DataFileSpec separated(const std::string& format, const std::string& rowSkip, char separator,
                       int oneRecordPerLine = 0) {
  DataFileSpec spec{"items.csv", format, rowSkip, 0};
  spec.separator = separator;
  spec.oneRecordPerLine = oneRecordPerLine;
  return spec;
}

ItemFileResult readSpec(const std::string& text, const DataFileSpec& spec, Arrays& arrays,
                        int dimension = 0) {
  std::istringstream in(text);
  return readItemStream(in, spec, 0, arrays.outputs(dimension));
}

struct TableCase {
  const char* name;
  std::string text;
  DataFileSpec spec;
};

}  // namespace

TEST(ItemFile, SeparatedTablesReadAsTheirWhitespaceTwin) {
  const std::string whitespace =
      "a1 a2 d g u\n"
      "Item_1 1.1 0.3 -0.5 0.1 1\n"
      "Item_2 0.8 1.2 0.25 0.2 1\n";
  Arrays expected(4, 2, 2);
  ASSERT_EQ(readSpec(whitespace, separated("XAADCX", "{1}", ' '), expected, 2).code, 0);
  ASSERT_EQ(expected.slopes, (std::vector<double>{1.1, 0.3, 0.8, 1.2}));

  const TableCase cases[] = {
      {"write.csv",
       "\"\",\"a1\",\"a2\",\"d\",\"g\",\"u\"\n"
       "\"Item.1\",1.1,0.3,-0.5,0.1,1\n"
       "\"Item.2\",0.8,1.2,0.25,0.2,1\n",
       separated("XAADC", "{1}", ',')},
      {"write.table sep=;",
       "\"a1\";\"a2\";\"d\";\"g\";\"u\"\n"
       "\"Item 1\";1.1;0.3;-0.5;0.1;1\n\n"
       "\"Item 2\";0.8;1.2;0.25;0.2;1\n",
       separated("XAADC", "{1}", ';')},
      {"tab with CR LF",
       "\ta1\ta2\td\tg\tu\r\n"
       "Item 1\t1.1\t0.3\t-0.5\t0.1\t1\r\n"
       "Item 2\t0.8\t1.2\t0.25\t0.2\t1\r\n",
       separated("XAADC", "{1}", '\t')},
      {"pandas to_csv with blanks", ",a1,a2,d,g,u\n0, 1.1, 0.3, -0.5, 0.1, 1\n1,0.8,1.2,0.25,0.2,1",
       separated("xaadc", "{1}", ',')},
  };
  for (const TableCase& c : cases) {
    SCOPED_TRACE(c.name);
    Arrays got(4, 2, 2);
    const ItemFileResult result = readSpec(c.text, c.spec, got, 2);
    ASSERT_EQ(result.code, 0) << result.message;
    EXPECT_EQ(result.records, 2);
    EXPECT_EQ(got.slopes, expected.slopes);
    EXPECT_EQ(got.intercepts, expected.intercepts);
    EXPECT_EQ(got.guessing, expected.guessing);
    // The u column past the format is ignored, and said once.
    EXPECT_NE(result.lineNote.find("line 2 holds 6 fields where column format"), std::string::npos)
        << result.lineNote;
  }
}

TEST(ItemFile, MissingValueInAnItemFileIsRefusedWithLineAndColumn) {
  const TableCase cases[] = {
      {"NA slope", "\"i1\",1,0\n\"i2\",NA,0.5\n", separated("XAD", "", ',')},
      {"empty intercept", "i1;1;0\ni2;0.5;\n", separated("XAD", "", ';')},
      {"NA word, one record per line", "i1 1 0\ni2 NA 0.5\n", separated("XAD", "", ' ', 1)},
  };
  const char* expected[] = {"items.csv: line 2, column 2: 'NA' where a value is read",
                            "items.csv: line 2, column 3: an empty field where a value is read",
                            "items.csv: line 2, column 2: 'NA' where a value is read"};
  for (std::size_t k = 0; k < std::size(cases); ++k) {
    Arrays arrays(2, 2, 0);
    const ItemFileResult result = readSpec(cases[k].text, cases[k].spec, arrays, 1);
    EXPECT_EQ(result.code, 2) << cases[k].name;
    EXPECT_EQ(result.message.rfind(expected[k], 0), 0u) << result.message;
  }
  // NA in a column the format skips is no value.
  Arrays skipped(2, 2, 0);
  EXPECT_EQ(readSpec("NA,1,0\nNA,2,1\n", separated("XAD", "", ','), skipped, 1).code, 0);
}

TEST(ItemFile, ThetaLinesMissingAValueArePassedOverWithOneNote) {
  const std::string fscores =
      "\"\",\"F1\",\"SE_F1\"\n"
      "\"1\",0.0956,0.31\n"
      "\"2\",NA,NA\n"
      "\"3\",-1.5,0.4\n"
      "\"4\",,\n"
      "\"5\",0.5,NA\n";
  const DataFileSpec spec = separated("XT", "{1}", ',');
  Arrays points(3, 0, 0);
  const ItemFileResult result = readSpec(fscores, spec, points);
  ASSERT_EQ(result.code, 0) << result.message;
  EXPECT_EQ(points.slopes, (std::vector<double>{0.0956, -1.5, 0.5}));
  EXPECT_EQ(result.passedNote,
            "items.csv: 2 lines were passed over for a missing value (NA or an empty field), the "
            "first of them line 3.");

  // The run sizes its points by the lines the reader keeps.
  TempDir dir;
  DataFileSpec onDisk = spec;
  onDisk.name = dir.write("theta.csv", fscores);
  EXPECT_EQ(countRecordLinesOfFile(onDisk), 3);
  onDisk.columnFormat = "XTT";  // the SE column read as well: line 6 goes too
  EXPECT_EQ(countRecordLinesOfFile(onDisk), 2);
}

TEST(ItemFile, OneRecordPerLineIgnoresTrailingWordsAndRefusesShortLines) {
  // Theta and its standard error per line: the SE words are ignored, not read as thetas.
  Arrays points(3, 0, 0);
  const ItemFileResult withSe =
      readSpec("theta se\n0.1 0.3\n-0.2 0.25\n\n1.4 0.5\n", separated("T", "{1}", ' ', 1), points);
  ASSERT_EQ(withSe.code, 0) << withSe.message;
  EXPECT_EQ(points.slopes, (std::vector<double>{0.1, -0.2, 1.4}));
  EXPECT_EQ(withSe.lineNote,
            "items.csv: line 2 holds 2 words where column format T reads 1; what is left at the "
            "end of such lines is ignored.");

  Arrays items(3, 3, 0);
  const ItemFileResult shortLine =
      readSpec("i1 1 0\ni2 0.5\ni3 1 1\n", separated("XAD", "", ' ', 1), items, 1);
  EXPECT_EQ(shortLine.code, 2);
  EXPECT_EQ(shortLine.message,
            "items.csv: line 2 holds 2 words, column format XAD reads 3 per record (one record "
            "per line)");

  // Without the option the same file wraps: the record takes a word from the next line.
  Arrays wrapped(3, 3, 0);
  EXPECT_EQ(readSpec("i1 1 0\ni2 0.5\ni3 1 1\n", separated("XAD", "", ' '), wrapped, 1).code, 2);
}

namespace {

// What a file of polytomous records must come out as: every record's slopes, intercept d_1,
// guessing, kind, category count, and the intercepts d_2 .. of all records in order.
struct PolytomousCase {
  const char* name;
  std::string text;
  DataFileSpec spec;
  int scaleFlag;
  std::vector<double> slopes, intercepts, guessing;
  std::vector<ItemKind> kinds;
  std::vector<int> counts;
  std::vector<double> rest;
};

DataFileSpec polytomousSpec(const std::string& format, const std::string& rowSkip, char separator,
                            int oneRecordPerLine, int fileType = 0) {
  DataFileSpec spec{"items.txt", format, rowSkip, fileType};
  spec.separator = separator;
  spec.oneRecordPerLine = oneRecordPerLine;
  return spec;
}

ItemFileResult readPolytomous(const std::string& text, const DataFileSpec& spec, Arrays& arrays,
                              ItemCategories* categories, int scaleFlag = 0) {
  std::istringstream in(text);
  ItemFileOutputs out = arrays.outputs(1);
  out.categories = categories;
  return readItemStream(in, spec, scaleFlag, out);
}

constexpr auto D = ItemKind::Dichotomous;
constexpr auto Gr = ItemKind::Graded;
constexpr auto Pc = ItemKind::PartialCredit;
const char* const kLogitOfTwoTenths = "-1.3862943611198906";  // g = 0.2

}  // namespace

TEST(ItemFile, PolytomousRecordsReadTheirKindsCountsAndIntercepts) {
  const std::string logit = kLogitOfTwoTenths;
  // flexMIRT: a 3PL, a 2PL and a graded item of 4 categories, then the group line.
  const std::string flexmirt = "1\tv1\t1\t1\t1\t2\t" + logit + "\t-0.5\t1.2\n" +
                               "1\tv2\t1\t1\t2\t2\t0.3\t0.8\n" +
                               "1\tv3\t1\t1\t2\t4\t1.2\t0.1\t-0.8\t0.95\n" +
                               "0\tGroup1\t1\t1\t0\t0.0\t1.0\n";
  std::string blanks = flexmirt;
  std::replace(blanks.begin(), blanks.end(), '\t', ' ');
  std::string wrapped = blanks;  // the graded record over two lines
  wrapped.replace(wrapped.find(" 0.1 -0.8"), 1, "\n");
  const std::vector<double> a{1.2, 0.8, 0.95}, d{-0.5, 0.3, 1.2}, g{0.2, 0, 0};
  const std::vector<ItemKind> flexKinds{D, D, Gr};
  const double s = kNormalScale;
  const PolytomousCase cases[] = {
      {"flexMIRT mixed, tab", flexmirt, polytomousSpec("XXXXMKGDRA", "{4}", '\t', 0), 0, a, d, g,
       flexKinds, {2, 2, 4}, {0.1, -0.8}},
      {"flexMIRT mixed, words", blanks, polytomousSpec("XXXXMKGDRA", "{4}", ' ', 0), 0, a, d, g,
       flexKinds, {2, 2, 4}, {0.1, -0.8}},
      {"flexMIRT mixed, a record wrapped", wrapped, polytomousSpec("xxxxmkgdra", "{4}", ' ', 0), 0,
       a, d, g, flexKinds, {2, 2, 4}, {0.1, -0.8}},
      {"flexMIRT mixed, one record per line", blanks,
       polytomousSpec("XXXXMKGDRA", "{4}", ' ', 1), 0, a, d, g, flexKinds, {2, 2, 4}, {0.1, -0.8}},
      {"IRTPRO 3PL, 2PL and graded, b values past the record",
       "V1 1 1 2 1.2 -0.5 " + logit + " 0.42 0.2\nV2 1 2 2 0.8 0.3 -0.38\n"
       "V3 1 2 4 0.95 1.2 0.1 -0.8 -1.26 -0.1 0.84\nGroup1 1 0.0 1.0\n",
       polytomousSpec("XXMKADRG", "{4}", ' ', 1), 0, a, d, g, flexKinds, {2, 2, 4}, {0.1, -0.8}},
      {"model names in any case, C read for 3PL items only",
       "i1 gpcm 3 1.0 0.4 -0.6\ni2 3PL 2 1.1 -0.2 0.15\ni3 Graded 3 0.9 0.7 -0.1\n"
       "i4 2pl 2 0.5 0.1\n",
       polytomousSpec("XMKADRC", "", ' ', 1), 0, {1.0, 1.1, 0.9, 0.5}, {0.4, -0.2, 0.7, 0.1},
       {0, 0.15, 0, 0}, {Pc, D, Gr, D}, {3, 2, 3, 2}, {-0.6, -0.1}},
      {"P: partial credit intercepts in any order", "i1 3 1.1 0.5 1.5\ni2 2 0.7 -0.2\n",
       polytomousSpec("XPADR", "", ' ', 0), 0, {1.1, 0.7}, {0.5, -0.2}, {0, 0}, {Pc, D}, {3, 2},
       {1.5}},
      {"mirt 2PL, 3PL and graded, write.csv",
       "\"\",\"a1\",\"d\",\"g\",\"u\",\"d1\",\"d2\",\"d3\"\n"
       "\"Item.1\",1.2,-0.5,0.2,1,NA,NA,NA\n"
       "\"Item.2\",0.9,NA,NA,NA,1.5,0.2,-1.1\n"
       "\"Item.3\",1.1,NA,NA,NA,0.4,-0.3,NA\n",
       polytomousSpec("XADCXEEE", "{1}", ',', 0), 0, {1.2, 0.9, 1.1}, {-0.5, 1.5, 0.4},
       {0.2, 0, 0}, {D, Gr, Gr}, {2, 4, 3}, {0.2, -1.1, -0.3}},
      {"mirt graded and gpcm: S reads ak1, empty fields as pandas writes NA",
       ",a1,d1,d2,ak0,ak1,ak2,d0\nI1,1.0,0.8,-0.4,,,,\nI2,0.7,0.3,0.9,0,1,2,0\n",
       polytomousSpec("XAEEXSXX", "{1}", ',', 0), 0, {1.0, 0.7}, {0.8, 0.3}, {}, {Gr, Pc},
       {3, 3}, {-0.4, 0.9}},
      {"mirt 2PL and gpcm, write.table read word by word",
       "\"a1\" \"d\" \"g\" \"u\" \"ak0\" \"ak1\" \"ak2\" \"d0\" \"d1\" \"d2\"\n"
       "\"I1\" 1.0 0.5 0 1 NA NA NA NA NA NA\n\"I2\" 0.8 NA NA NA 0 1 2 0 0.4 -0.2\n",
       polytomousSpec("XADCXXXXXQQ", "{1}", ' ', 0), 0, {1.0, 0.8}, {0.5, 0.4}, {0, 0}, {D, Pc},
       {2, 3}, {-0.2}},
      {"normal metric: the rest scaled as D, negated with N",
       "i1 4 1.0 -0.5 0.1 0.9\ni2 3 2.0 -0.25 0.75\n",
       polytomousSpec("XKANR", "", ' ', 0, -1), 1, {s, 2.0 * s}, {0.5 * s, 0.25 * s}, {0, 0},
       {Gr, Gr}, {4, 3}, {-0.1 * s, -0.9 * s, -0.75 * s}},
      {"normal metric: table intercepts scaled",
       "a1,d,d1,d2\n1.0,NA,0.5,-0.25\n", polytomousSpec("ADEE", "{1}", ',', 0, 1), 1, {s},
       {0.5 * s}, {}, {Gr}, {3}, {-0.25 * s}},
  };
  for (const PolytomousCase& c : cases) {
    SCOPED_TRACE(c.name);
    Arrays arrays(c.slopes.size(), c.intercepts.size(), c.guessing.size());
    ItemCategories categories;
    categories.add(Pc, 5, std::vector<double>(3, 9.0).data());  // cleared by the reader
    const ItemFileResult result =
        readPolytomous(c.text, c.spec, arrays, &categories, c.scaleFlag);
    ASSERT_EQ(result.code, 0) << result.message;
    EXPECT_EQ(result.records, static_cast<long long>(c.slopes.size()));
    for (std::size_t i = 0; i < c.slopes.size(); ++i) {
      EXPECT_DOUBLE_EQ(arrays.slopes[i], c.slopes[i]) << i;
      EXPECT_DOUBLE_EQ(arrays.intercepts[i], c.intercepts[i]) << i;
    }
    for (std::size_t i = 0; i < c.guessing.size(); ++i) {
      EXPECT_NEAR(arrays.guessing[i], c.guessing[i], 1e-12) << i;
    }
    EXPECT_EQ(categories.kinds, c.kinds);
    EXPECT_EQ(categories.counts, c.counts);
    ASSERT_EQ(categories.rest.size(), c.rest.size());
    for (std::size_t i = 0; i < c.rest.size(); ++i) EXPECT_DOUBLE_EQ(categories.rest[i], c.rest[i]);
    // Without categories wanted, a file of dichotomous records only still reads.
    if (categories.polytomous()) continue;
    Arrays plain(c.slopes.size(), c.intercepts.size(), c.guessing.size());
    EXPECT_EQ(readPolytomous(c.text, c.spec, plain, nullptr, c.scaleFlag).code, 0);
  }
}

TEST(ItemFile, FaultyPolytomousRecordsAreRefusedWithLineAndWord) {
  struct Case {
    const char* name;
    std::string text;
    DataFileSpec spec;
    std::string message;  // after "items.txt: "
    bool categories = true;
  };
  const DataFileSpec graded = polytomousSpec("XKADR", "", ' ', 1);
  const DataFileSpec mixedTable = polytomousSpec("XADCXEEE", "{1}", ',', 0);
  const std::string header = "\"\",\"a1\",\"d\",\"g\",\"u\",\"d1\",\"d2\",\"d3\"\n";
  const std::string countWords = "' is not a category count (a whole number from 2 to 20)";
  const Case cases[] = {
      {"count 1", "i1 1 1.0 0.5\n", graded,
       "line 1: '1" + countWords + " (column format XKADR)"},
      {"count 21", "i1 2 1.0 0.5\ni2 21 1.0 0.5\n", graded,
       "line 2: '21" + countWords + " (column format XKADR)"},
      {"count 3.5", "i1 3.5 1.0 0.5 0.1\n", graded,
       "line 1: '3.5" + countWords + " (column format XKADR)"},
      {"count x, word by word", "i1 x 1.0 0.5\n", polytomousSpec("XKADR", "", ' ', 0),
       "line 1: 'x" + countWords + " (column format XKADR)"},
      {"graded intercepts that rise", "i1 4 1.0 0.5 -0.1 0.2\n", graded,
       "line 1: '0.2': the intercepts of a graded item must decrease (d2 > d3) (column format "
       "XKADR)"},
      {"graded intercepts that stay", "i1 3 1.0 0.5 0.5\n", graded,
       "line 1: '0.5': the intercepts of a graded item must decrease (d1 > d2) (column format "
       "XKADR)"},
      {"too few words for the count", "i1 3 1.0 0.5 0.1\ni2 5 1.0 0.5 0.1\n", graded,
       "line 2 holds 5 words, column format XKADR reads 7 for this item (K '5'; one record per "
       "line)"},
      {"too few words, word by word", "i1 5 1.0 0.5 0.1\n", polytomousSpec("XKADR", "", ' ', 0),
       "line 1: the file ends inside a record (column format XKADR)"},
      {"a rest intercept that is no number", "i1 3 1.0 0.5 abc\n", graded,
       "line 1: 'abc' is not a number (column format XKADR)"},
      {"an item model that is none", "i1 7 2 1.0 0.5\n", polytomousSpec("XMKADR", "", ' ', 1),
       "line 1: '7' is not an item model (1 or 3PL, 2 or graded, 2PL, gpcm) (column format "
       "XMKADR)"},
      {"a 3PL of 4 categories", "i1 1 4 1.0 0.5 0.1 -0.2 -1.0\n",
       polytomousSpec("XMKADRG", "", ' ', 1),
       "line 1: M '1', K '4': a 3PL item has 2 categories (column format XMKADRG)"},
      {"a 3PL line without its guessing word", "i1 1 2 1.0 0.5\n",
       polytomousSpec("XMKADRG", "", ' ', 1),
       "line 1 holds 5 words, column format XMKADRG reads 6 for this item (M '1', K '2'; one "
       "record per line)"},
      {"both an intercept and category intercepts", header + "\"I1\",0.9,-0.5,NA,NA,1.5,0.2,NA\n",
       mixedTable,
       "line 2, column 3: both an intercept ('-0.5') and category intercepts ('1.5' ...) where an "
       "item has one or the other (column format XADCXEEE)"},
      {"neither", header + "\"I1\",0.9,NA,NA,NA,NA,NA,NA\n", mixedTable,
       "line 2, column 3: 'NA' where a value is read (the item's intercept and category "
       "intercepts are all missing) (column format XADCXEEE)"},
      {"a gap in the category intercepts", header + "\"I1\",0.9,NA,NA,NA,1.5,,-1.1\n", mixedTable,
       "line 2, column 7: an empty field for d2 before a value for a later one: an item's "
       "category intercepts have no gap (column format XADCXEEE)"},
      {"guessing with a graded item", header + "\"I1\",0.9,NA,0.2,1,1.5,0.2,-1.1\n", mixedTable,
       "line 2, column 4: '0.2' is a guessing parameter of a graded item of 4 categories, which "
       "has none (column format XADCXEEE)"},
      {"NA in a slope of a table", header + "\"I1\",NA,NA,NA,NA,1.5,0.2,-1.1\n", mixedTable,
       "line 2, column 2: 'NA' where a value is read (column format XADCXEEE)"},
      {"NA in a rest intercept", "i1 3 1.0 0.5 NA\n", graded,
       "line 1, column 5: 'NA' where a value is read (column format XKADR)"},
      {"4 categories where dichotomous items are read", "i1 2 1.0 0.5\ni2 4 1.0 0.5 0.1 -0.2\n",
       graded, "line 2: '4': an item of 4 categories where only dichotomous items are read "
               "(column format XKADR)",
       false},
      {"a table item of 3 categories where dichotomous items are read",
       header + "\"I1\",0.9,NA,NA,NA,1.5,0.2,NA\n", mixedTable,
       "line 2: '0.2': an item of 3 categories where only dichotomous items are read (column "
       "format XADCXEEE)",
       false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Arrays arrays(2, 2, 2);
    ItemCategories categories;
    const ItemFileResult result =
        readPolytomous(c.text, c.spec, arrays, c.categories ? &categories : nullptr);
    EXPECT_EQ(result.code, 2);
    EXPECT_EQ(result.message, "items.txt: " + c.message);
  }
}

TEST(ItemFile, PolytomousLettersFollowTheFormatRules) {
  const std::pair<const char*, const char*> cases[] = {
      {"XKPADR", "has both K and P"},
      {"XKKADR", "has more than one K"},
      {"XMMKAD", "has more than one M"},
      {"XKADRR", "has more than one R"},
      {"XMAD", "has M without K (the category count)"},
      {"XMPAD", "has both M and P (with M, K gives the category count)"},
      {"XADR", "has R without K or P (the category count)"},
      {"XKAD", "has K without R (the intercepts after d1)"},
      {"XMKGDA", "has K without R (the intercepts after d1)"},
      {"XRKAD", "has R before K"},
      {"XKRMAD", "has R before M"},
      {"XGMKADR", "has G before M (M tells whether the record holds a guessing word)"},
      {"XKAR", "has K without D or N (the first intercept)"},
      {"XPADRC",
       "has both P and C (graded and partial credit items have no guessing parameter; M tells "
       "3PL items apart)"},
      {"XADEQ", "has both E and Q"},
      {"XADEEKR", "has both E and K (table columns or a count, not both)"},
      {"XADS", "has S without E"},
      {"XAEESS", "has more than one S"},
      {"XKAB", "has both B and K (difficulties are read for dichotomous items only)"},
      {"XAEEEEEEEEEEEEEEEEEEEE", "has more than 19 E"},
  };
  for (const auto& [format, problem] : cases) {
    EXPECT_EQ(columnFormatProblem(format, 1),
              std::string("column format ") + format + " " + problem);
  }
  // Formats of every kind the recognisers write are taken.
  for (const char* format : {"XXXXMKGDRA", "XXMKADRG", "XADCXEEE", "XAEEXSXX", "XAXXXXQQ",
                             "XPADR", "XKANR", "ADEE"}) {
    EXPECT_EQ(columnFormatProblem(format, 1), "") << format;
  }
}
