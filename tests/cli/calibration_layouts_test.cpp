// Files in the layouts calibration programs write, read with the shipped presets' row-skip
// lists and column formats, link a From file onto a copy of it under a known transformation:
// M and t come back.
#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <string>
#include <vector>

#include "support/link_process.h"
#include "support/temp_dir.h"

namespace {

struct Item {
  double a, d, g;
};

const std::vector<Item> kFrom = {
    {1.2, 0.4, 0.1}, {0.8, -0.6, 0.2}, {1.5, 1.1, 0.15}, {0.6, -1.3, 0.05}, {1.1, 0.2, 0.12}};
constexpr double kM = 1.3, kT = 0.4;  // theta_To = M theta_From + t

// The same item on the To scale: a theta_From + d = a_To theta_To + d_To.
Item onToScale(const Item& item) { return {item.a / kM, item.d - item.a * kT / kM, item.g}; }

std::string number(double value) {
  std::ostringstream out;
  out.precision(10);
  out << value;
  return out.str();
}

std::string genericFile() {
  std::string text = "item a d g\n";
  for (std::size_t i = 0; i < kFrom.size(); ++i) {
    text += "i" + std::to_string(i + 1) + " " + number(kFrom[i].a) + " " + number(kFrom[i].d) +
            " " + number(kFrom[i].g) + "\n";
  }
  return text;
}

// The To items written in a program's layout; normal-metric layouts hold the values divided
// by 1.702. The parameter-file lines come from torvak-link --identify.
struct Layout {
  const char* name;
  const char* recognisedAs;  // how --identify's line for the file begins
  const char* rowSkip;       // what --identify proposes
  const char* columnFormat;
  std::string (*line)(int n, const Item& item);
  const char* header;
  const char* trailer = "";
  bool normal = false;
};

std::string logit(double g) { return number(std::log(g / (1 - g))); }

const Layout kLayouts[] = {
    {"TAM tam.mml.3pl $item, write.table", "TAM item table", "{1}", "XXXXXXCNA",
     [](int n, const Item& i) {
       return "\"" + std::to_string(n) + "\" \"I" + std::to_string(n) + "\" 500 0.61 " +
              number(-i.d / i.a) + " TRUE " + number(i.g) + " " + number(-i.d) + " " + number(i.a) +
              "\n";
     },
     "\"item\" \"N\" \"M\" \"xsi.item\" \"est.guess\" \"guess\" \"AXsi_.Cat1\" \"B.Cat1.Dim1\"\n"},
    {"flexMIRT 3PL -prm.txt, a nominal item and the group line", "flexMIRT -prm.txt, 3PL", "{4,7}",
     "XXXXXXGDA",
     [](int n, const Item& i) {
       const std::string nominal = "1\tv9\t1\t1\t3\t3\t0\t1.0\t2.0\t0.9\t0\t0.5\t-0.5\n";
       return (n == 4 ? nominal : "") + "1\tv" + std::to_string(n) + "\t1\t1\t1\t2\t" +
              logit(i.g) + "\t" + number(i.d) + "\t" + number(i.a) + "\n";
     },
     "", "0\tGroup1\t1\t1\t0\t0.0\t1.0\n"},
    {"mirt coef IRTpars, write.table", "mirt item table, IRTpars", "{1}", "XABCX",
     [](int n, const Item& i) {
       return "\"Item_" + std::to_string(n) + "\" " + number(i.a) + " " + number(-i.d / i.a) + " " +
              number(i.g) + " 1\n";
     },
     "\"a\" \"b\" \"g\" \"u\"\n"},
    {"mirt coef, write.csv", "mirt item table, slope-intercept (write.csv)", "{1}", "XADCX",
     [](int n, const Item& i) {
       return "\"Item." + std::to_string(n) + "\"," + number(i.a) + "," + number(i.d) + "," +
              number(i.g) + ",1\n";
     },
     "\"\",\"a1\",\"d\",\"g\",\"u\"\n"},
    {"ltm tpm coef, write.csv", "ltm coef table (write.csv)", "{1}", "XCBA",
     [](int n, const Item& i) {
       return "\"Item " + std::to_string(n) + "\"," + number(i.g) + "," + number(-i.d / i.a) + "," +
              number(i.a) + "\n";
     },
     "\"\",\"Gussng\",\"Dffclt\",\"Dscrmn\"\n"},
    {"IRTPRO 3PL -prm.txt", "IRTPRO -prm.txt", "{6}", "XXXXADG",
     [](int n, const Item& i) {
       return "V" + std::to_string(n) + "\t1\t1\t2\t" + number(i.a) + "\t" + number(i.d) + "\t" +
              logit(i.g) + "\t" + number(-i.d / i.a) + "\t" + number(i.g) + "\n";
     },
     "", "Group1\t1\t0.0\t1.0\n"},
    {"BILOG-MG .PAR with an empty second title line", "BILOG-MG .PAR", "{1-3}", "XXDXAXXXXXCXXXX",
     [](int n, const Item& i) {
       return "E0" + std::to_string(n) + "     CIVICS  " + number(i.d) + " 0.03 " + number(i.a) +
              " 0.02 " + number(-i.d / i.a) + " 0.05 0.5 0.01 " + number(i.g) +
              " 0.01 0.0 0.0 110\n";
     },
     "CIVICS\n\n   1   5\n   5\n", "", true},
    {"PARSCALE .PAR", "PARSCALE .PAR", "{1-5,7S2R1}", "XXAXBXCX",
     [](int n, const Item& i) {
       return "BLOCK" + std::to_string(n) + " 2000" + std::to_string(n) + " " + number(i.a) +
              " 0.1 " + number(-i.d / i.a) + " 0.1 " + number(i.g) + " 0.03\n 0.0 0.0\n 0.0 0.0\n";
     },
     "RUN\nTITLE\nSEPARATE 5 5 1\n 1 1 1 1 1\n\nGROUP 01\n", "", true},
    {"a table of numbers", "table of numbers: slopes, intercept, guessing", "{}", "ADC",
     [](int, const Item& i) { return number(i.a) + " " + number(i.d) + " " + number(i.g) + "\n"; },
     ""},
};

// The parameter-file lines --identify printed for the file, as To_ keys.
std::string toKeys(const std::string& identified) {
  std::istringstream lines(identified);
  std::string keys;
  for (std::string line; std::getline(lines, line);) {
    if (line.rfind("  From_", 0) == 0) keys += "To_" + line.substr(7) + "\n";
  }
  return keys;
}

}  // namespace

TEST(CalibrationLayouts, EachLayoutIsIdentifiedAndLinksOntoAKnownTransformation) {
  for (const Layout& layout : kLayouts) {
    SCOPED_TRACE(layout.name);
    TempDir dir;
    dir.write("from.txt", genericFile());
    std::string to = layout.header;
    for (std::size_t i = 0; i < kFrom.size(); ++i) {
      Item item = onToScale(kFrom[i]);
      if (layout.normal) item = {item.a / 1.702, item.d / 1.702, item.g};
      to += layout.line(static_cast<int>(i + 1), item);
    }
    dir.write("to.txt", to + layout.trailer);
    const std::string toPath = dir.file("to.txt");
    const LinkProcess identified = runTorvakLink(dir, "--identify " + toPath);
    ASSERT_EQ(identified.exitCode, 0) << identified.out;
    EXPECT_EQ(identified.out.rfind(toPath + ": " + layout.recognisedAs, 0), 0u)
        << identified.out;
    const std::string keys = toKeys(identified.out);
    EXPECT_NE(keys.find(std::string("To_Row_Skip= ") + layout.rowSkip + "\n"), std::string::npos)
        << keys;
    EXPECT_NE(keys.find(std::string("To_Column_Format= ") + layout.columnFormat + "\n"),
              std::string::npos)
        << keys;
    EXPECT_NE(keys.find(layout.normal ? "To_File_Type= 1" : "To_File_Type= 0"), std::string::npos);
    // Model 4 reads a normal-metric file scaled by 1.702 (Model 1 takes values as they are).
    const std::string model = layout.normal ? "4" : "1";
    const std::string ini = dir.write(
        "run.ini", "Model_Type= " + model +
                       "\nParameterization= 1\nTheta_Dimension= 1\nNumber_Of_Grid= 11\n"
                       "From_Column_Format= XADC\nFrom_Row_Skip= {1}\nFrom_File_Type= 0\n" +
                       keys + "$Data_Files 1= from.txt to.txt\n");
    const LinkProcess run = runTorvakLink(dir, "--no-progress --on-problem=stop " + ini);
    ASSERT_EQ(run.exitCode, 0) << run.err;
    // The block's second line: criterion, M, t.
    std::istringstream block(run.out);
    std::string header, criterion;
    double m = 0, t = 0;
    std::getline(block, header);
    block >> criterion >> m >> t;
    EXPECT_NEAR(m, kM, 1e-4) << run.out;
    EXPECT_NEAR(t, kT, 1e-4) << run.out;
  }
}
