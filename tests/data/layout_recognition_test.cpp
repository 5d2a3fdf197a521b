// Sample files in the layouts calibration programs write (tests/data/layouts, written from the
// programs' documentation): each is recognised, and the format it gives reads the first and
// last record right; files that fit no layout name the nearest one and why.
#include "data/layout_recognition.h"

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <vector>

#include "data/item_file.h"

namespace {

std::string sample(const std::string& name) {
  return TORVAK_SOURCE_DIR "/tests/data/layouts/" + name;
}

struct Case {
  const char* file;
  const char* layout;  // how the description begins
  long long count;
  int dimension;
  int metric;
  const char* rowSkip;
  const char* columnFormat;
  char separator;
  double first, last;  // the first record's first slope (theta) and the last record's
};

const Case kCases[] = {
    {"mirt_2d_graded_mix.csv", "mirt item table, slope-intercept (write.csv)", 4, 2, 0, "{1}",
     "XAADEECX", ',', 1.21, 0.77},
    {"mirt_graded.csv", "mirt item table, slope-intercept (write.csv)", 4, 1, 0, "{1}", "XAEEEE",
     ',', 3.449, 1.372},
    {"mirt_gpcm.txt", "mirt item table, slope-intercept (write.table)", 3, 1, 0, "{1}",
     "XAXXXXXQQQ", ' ', 2.935, 0.741},
    {"mirt_graded_gpcm.csv", "mirt item table, slope-intercept (write.csv)", 3, 2, 0, "{1}",
     "XAAEEXSXX", ',', 1.1, 0.5},
    {"mirt_3pl_gpcm_nominal.csv", "mirt item table, slope-intercept (write.csv)", 3, 1, 0,
     "{1,4}", "XADCXXXXXQQ", ',', 1.2, 1.4},
    {"mirt_irtpars.txt", "mirt item table, IRTpars = TRUE (write.table)", 3, 1, 0, "{1}", "XABCX",
     ' ', 1.14316241065918, 1.5},
    {"mirt_fscores_se.csv", "mirt fscores table, with standard errors", 3, 2, -1, "{1}", "XTTXX",
     ',', 0.0956, 1.7},
    {"ltm_tpm.csv", "ltm coef table (write.csv)", 3, 1, 0, "{1}", "XCBA", ',', 1.1, 1.6},
    {"ltm_2pl.txt", "ltm coef table (write.table)", 2, 1, 0, "{1}", "XXBA", ' ', 1.1, 0.9},
    {"ltm_two_factor.csv", "ltm coef table", 2, 2, 0, "{1}", "XDAA", ',', 1.1, 0.9},
    {"tam_2pl_2d.txt", "TAM item table ($item)", 3, 2, 0, "{1}", "XXXXXNAA", ' ', 1.2, 0.8},
    {"tam_person.txt", "TAM person table ($person)", 3, 1, -1, "{1}", "XXXXXXTX", ' ', -0.44, 0.08},
    {"flexmirt_3pl_graded-prm.txt", "flexMIRT -prm.txt, 3PL and graded items", 4, 1, 0, "{5}",
     "XXXXMKGDRA", '\t', 1.8390710, 0.8},
    {"flexmirt_mixed-prm.txt", "flexMIRT -prm.txt, 3PL, 2PL and graded items", 4, 1, 0, "{4,6}",
     "XXXXMKGDRA", '\t', 1.2, 0.7},
    {"flexmirt_2pl_2d-prm.txt", "flexMIRT -prm.txt, 2PL items", 3, 2, 0, "{4}", "XXXXXXDAA", '\t',
     1.0513570, 1.3},
    {"irtpro_3pl-prm.txt", "IRTPRO -prm.txt", 3, 1, 0, "{4}", "XXXXADG", '\t', 1.2, 1.6},
    {"irtpro_graded-prm.txt", "IRTPRO -prm.txt (layout from documentation only), 3PL and graded",
     3, 1, 0, "{4}", "XXMKADRG", '\t', 1.35, 0.9},
    {"bilog_blank_title.PAR", "BILOG-MG .PAR item parameters", 3, 1, 1, "{1-3}", "XXDXAXXXXXCXXXX",
     ' ', 0.59758, 1.2},
    {"bilog_long_names.PAR", "BILOG-MG .PAR item parameters", 2, 1, 0, "{1-4}", "XDXAXXXXXCXXXX",
     ' ', 0.59758, 0.81},
    {"bilog.SCO", "BILOG-MG .SCO scores", 3, 1, -1, "{1}", "XXXXXXXXTXX", ' ', 0.5412, 1.2004},
    {"parscale.PAR", "PARSCALE .PAR item parameters", 2, 1, 1, "{1-5,7-8,10-14}", "XXAXBXCX", ' ',
     0.78668, 1.1},
    {"generic_adc.dat", "table of numbers: slopes, intercept, guessing", 3, 1, -1, "{}", "ADC", ' ',
     1.2, 1.5},
    {"flexmirt-sco.txt", "flexMIRT -sco.txt scores", 3, 1, -1, "{}", "XXTX", ' ', 0.41, 0.77},
};

}  // namespace

TEST(LayoutRecognition, EachSampleIsRecognisedAndItsFormatReadsItsRecords) {
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.file);
    const RecognizedLayout found = recognizeLayoutOfFile(sample(c.file));
    ASSERT_TRUE(found.recognised) << found.whyNot;
    EXPECT_EQ(found.layout.rfind(c.layout, 0), 0u) << found.layout;
    EXPECT_EQ(found.count, c.count);
    EXPECT_EQ(found.dimension, c.dimension);
    EXPECT_EQ(found.metric, c.metric);
    EXPECT_EQ(found.spec.rowSkip, c.rowSkip);
    EXPECT_EQ(found.spec.columnFormat, c.columnFormat);
    EXPECT_EQ(found.spec.separator, c.separator);
    // The reader takes the file with exactly this format and count.
    const auto d = static_cast<std::size_t>(c.dimension), n = static_cast<std::size_t>(c.count);
    std::vector<double> slopes(n * d), intercepts(found.thetaFile ? 0 : n),
        guessing(found.thetaFile ? 0 : n);
    ItemCategories categories;
    const ItemFileResult read =
        readItemFile(found.spec, 0,
                     {slopes, intercepts, guessing, found.thetaFile ? 0 : c.dimension,
                      found.thetaFile ? nullptr : &categories});
    ASSERT_EQ(read.code, 0) << read.message;
    EXPECT_EQ(read.records, c.count);
    EXPECT_DOUBLE_EQ(slopes.front(), c.first);
    EXPECT_DOUBLE_EQ(slopes[(n - 1) * d], c.last);
  }
}

TEST(LayoutRecognition, ReadValuesMeanWhatTheProgramsWrote) {
  // Logit guessing, negated and difficulty-given intercepts come out as slope-intercept values.
  struct Value {
    const char* file;
    double intercept, guessing;  // of the first record
  };
  for (const Value& v :
       {Value{"flexmirt_3pl_graded-prm.txt", -0.5641917, 1 / (1 + std::exp(1.0869292))},
        Value{"tam_2pl_2d.txt", -0.3, 0.0},
        Value{"mirt_irtpars.txt", 1.14316241065918 * 0.0359867691027612, 0.0531765994052502},
        Value{"ltm_tpm.csv", 1.1 * 1.2, 0.0413}}) {
    SCOPED_TRACE(v.file);
    const RecognizedLayout found = recognizeLayoutOfFile(sample(v.file));
    std::vector<double> slopes(found.count * found.dimension), intercepts(found.count),
        guessing(found.count);
    ItemCategories categories;
    ASSERT_EQ(
        readItemFile(found.spec, 0, {slopes, intercepts, guessing, found.dimension, &categories})
            .code,
        0);
    EXPECT_NEAR(intercepts.front(), v.intercept, 1e-12);
    EXPECT_NEAR(guessing.front(), v.guessing, 1e-12);
  }
}

TEST(LayoutRecognition, FilesThatFitNoLayoutNameTheNearestAndWhy) {
  struct Miss {
    const char* text;
    const char* nearest;
    const char* why;  // part of the reason
  };
  const Miss kMisses[] = {
      {"Report of a calibration\nItem   a   b\n1 2 3 4 5 6 7\n", "table with a header",
       "line 3 holds 7 fields"},
      {"TITLE\n\n   1   3\n   3\n"
       "E01 CIVICS -0.1 0.03 0.5 0.02 0.2 0.05 0.5 0.01 0.2 0.01 0 0 110\n"
       "E02 CIVICS -0.1 0.03 0.5 0.02 0.2 0.05 0.5 0.01 0.2 0.01 0 0 110\n",
       "BILOG-MG .PAR item parameters", "line 3 says 3 items, but 2 item lines follow"},
      {"\"\",\"a1\",\"a2\",\"b\",\"g\"\n\"I1\",1,0.5,0.2,0.1\n", "mirt item table, IRTpars = TRUE",
       "a difficulty with 2 slopes"},
      {"\"\",\"a1\",\"d1\",\"d2\"\n\"I1\",1,-0.2,0.5\n",
       "mirt item table, slope-intercept (write.csv)",
       "'0.5': the intercepts of a graded item must decrease (d1 > d2)"},
      {"\"\",\"a1\",\"d2\",\"d1\"\n\"I1\",1,-0.2,0.5\n", "table with a header",
       "its category intercepts d1, d2, ... are not in order ('d2')"},
      {"\"\",\"a1\",\"d\",\"g\",\"d1\",\"d2\"\n\"I1\",1,NA,0.2,0.5,-0.2\n",
       "mirt item table, slope-intercept (write.csv)",
       "'0.2' is a guessing parameter of a graded item"},
      {"\"\",\"a1\",\"d\"\n\"I1\",1,abc\n", "mirt item table, slope-intercept",
       "column 'd': 'abc' is not a number"},
      {"1\tv1\t1\t1\t3\t3\t0\t1.0\t2.0\t0.9\t0\t0.5\t-0.5\n", "flexMIRT -prm.txt",
       "no item is a 2PL, a 3PL or a graded item"},
      {"1\tv1\t1\t1\t2\t3\t0.1\t0.4\t0.95\n", "flexMIRT -prm.txt, graded items",
       "the intercepts of a graded item must decrease"},
      {"\n\n", "", "holds no line that is not blank"},
  };
  for (const Miss& m : kMisses) {
    SCOPED_TRACE(m.text);
    std::istringstream in(m.text);
    const RecognizedLayout found = recognizeLayout(in, "file.txt");
    ASSERT_FALSE(found.recognised) << found.layout;
    EXPECT_EQ(found.nearest, m.nearest);
    EXPECT_NE(found.whyNot.find(m.why), std::string::npos) << found.whyNot;
    EXPECT_NE(describeLayout(found).find("file.txt: not recognised"), std::string::npos);
  }
}

// Files that mix item kinds: the recognised format reads every item of a kind Torvak reads
// with its category count and intercepts, and the description names the polytomous items and
// the items left out.
TEST(LayoutRecognition, PolytomousSamplesReadEachItemWithItsKindAndIntercepts) {
  constexpr auto D = ItemKind::Dichotomous;
  constexpr auto Gr = ItemKind::Graded;
  constexpr auto Pc = ItemKind::PartialCredit;
  struct Sample {
    const char* file;
    std::vector<ItemKind> kinds;
    std::vector<int> counts;
    std::vector<double> intercepts, rest, guessing;
    std::vector<const char*> described;  // parts of the --identify text
  };
  const double g02 = 1 / (1 + std::exp(1.3862944));
  const Sample samples[] = {
      {"flexmirt_mixed-prm.txt",
       {D, D, Gr, Gr},
       {2, 2, 5, 3},
       {-0.5, 0.3, 2.1, 0.9},
       {0.6, -0.4, -1.7, -0.6},
       {g02, 0, 0, 0},
       {"note: polytomous items: 2 graded (3 to 5 categories)",
        "note: 1 item is left out: v4 (line 4, nominal, 3 categories)",
        "note: 1 group line (from line 6) skipped"}},
      {"irtpro_graded-prm.txt",
       {Gr, D, Gr},
       {4, 2, 3},
       {1.8, -0.3, 0.5},
       {0.2, -1.4, -0.8},
       {0, 1 / (1 + std::exp(1.5)), 0},
       {"note: polytomous items: 2 graded (3 to 4 categories)"}},
      {"mirt_2d_graded_mix.csv",
       {D, D, Gr, D},
       {2, 2, 3, 2},
       {0.52, -0.41, 1.2, 1.13},
       {-0.3},
       {0.12, 0, 0, 0.2},
       {"note: polytomous items: 1 graded (3 categories)"}},
      {"mirt_graded.csv",
       {Gr, Gr, Gr, Gr},
       {5, 5, 3, 5},
       {-1.704, -1.8, 0.85, 1.045},
       {-4.314, -7.005, -9.706, -4.518, -7.138, -10.306, -1.2, -0.211, -1.889, -3.556},
       {0, 0, 0, 0},
       {"From_Column_Format= XAEEEE"}},
      {"mirt_gpcm.txt",
       {Pc, Pc, Pc},
       {4, 3, 4},
       {-1.802, -1.92, -0.01},
       {-5.336, -10.792, -5.745, 0.125, -0.963},
       {0, 0, 0},
       {"note: polytomous items: 3 partial credit (3 to 4 categories)"}},
      {"mirt_graded_gpcm.csv",
       {Gr, Pc, Gr},
       {3, 3, 3},
       {1.2, 0.4, 2},
       {-0.6, 1.3, -1},
       {0, 0, 0},
       {"2 graded (3 categories), 1 partial credit (3 categories)"}},
      {"mirt_3pl_gpcm_nominal.csv",
       {D, Pc, D},
       {2, 3, 2},
       {-0.5, 0.4, 0.9},
       {-0.2},
       {0.2, 0, 0.1},
       {"note: 1 item is left out (other item types): Item.3 (line 4, nominal: ak1 is 0.45)"}},
  };
  for (const Sample& s : samples) {
    SCOPED_TRACE(s.file);
    const RecognizedLayout found = recognizeLayoutOfFile(sample(s.file));
    ASSERT_TRUE(found.recognised) << found.whyNot;
    const std::string described = describeLayout(found);
    for (const char* part : s.described) {
      EXPECT_NE(described.find(part), std::string::npos) << described;
    }
    const auto n = static_cast<std::size_t>(found.count);
    std::vector<double> slopes(n * static_cast<std::size_t>(found.dimension)), intercepts(n),
        guessing(n);
    ItemCategories categories;
    const ItemFileResult read = readItemFile(
        found.spec, 0, {slopes, intercepts, guessing, found.dimension, &categories});
    ASSERT_EQ(read.code, 0) << read.message;
    EXPECT_EQ(categories.kinds, s.kinds);
    EXPECT_EQ(categories.counts, s.counts);
    EXPECT_EQ(intercepts, s.intercepts);
    EXPECT_EQ(categories.rest, s.rest);
    for (std::size_t j = 0; j < n; ++j) EXPECT_NEAR(guessing[j], s.guessing[j], 1e-7) << j;
    // Read for dichotomous items only, the same file is refused at its first polytomous item.
    const ItemFileResult dichotomous =
        readItemFile(found.spec, 0, {slopes, intercepts, guessing, found.dimension});
    EXPECT_EQ(dichotomous.code, 2);
    EXPECT_NE(dichotomous.message.find("where only dichotomous items are read"), std::string::npos)
        << dichotomous.message;
  }
}
