#include "data/item_file.h"

#include <gtest/gtest.h>

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
