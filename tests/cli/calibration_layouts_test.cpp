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

const std::vector<Item> kFrom = {{1.2, 0.4, 0.1}, {0.8, -0.6, 0.2}, {1.5, 1.1, 0.15},
                                 {0.6, -1.3, 0.05}, {1.1, 0.2, 0.12}};
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

// The To items written in a program's layout.
struct Layout {
  const char* name;
  const char* rowSkip;
  const char* columnFormat;
  std::string (*line)(int n, const Item& item);
  const char* header;
};

const Layout kLayouts[] = {
    {"TAM tam.mml.3pl $item, write.table", "{1}", "XXXXXXCNA",
     [](int n, const Item& i) {
       return "\"" + std::to_string(n) + "\" \"I" + std::to_string(n) + "\" 500 0.61 " +
              number(-i.d / i.a) + " TRUE " + number(i.g) + " " + number(-i.d) + " " +
              number(i.a) + "\n";
     },
     "\"item\" \"N\" \"M\" \"xsi.item\" \"est.guess\" \"guess\" \"AXsi_.Cat1\" \"B.Cat1.Dim1\"\n"},
    {"flexMIRT 3PL -prm.txt", "", "XXXXXXGDA",
     [](int n, const Item& i) {
       return "1\tv" + std::to_string(n) + "\t1\t1\t1\t2\t" + number(std::log(i.g / (1 - i.g))) +
              "\t" + number(i.d) + "\t" + number(i.a) + "\n";
     },
     ""},
    {"mirt coef IRTpars, write.table", "{1}", "XABCX",
     [](int n, const Item& i) {
       return "\"Item_" + std::to_string(n) + "\" " + number(i.a) + " " + number(-i.d / i.a) +
              " " + number(i.g) + " 1\n";
     },
     "\"a\" \"b\" \"g\" \"u\"\n"},
};

}  // namespace

TEST(CalibrationLayouts, EachLayoutLinksOntoAKnownTransformation) {
  for (const Layout& layout : kLayouts) {
    SCOPED_TRACE(layout.name);
    TempDir dir;
    dir.write("from.txt", genericFile());
    std::string to = layout.header;
    for (std::size_t i = 0; i < kFrom.size(); ++i) {
      to += layout.line(static_cast<int>(i + 1), onToScale(kFrom[i]));
    }
    dir.write("to.txt", to);
    const std::string ini = dir.write(
        "run.ini", std::string("Model_Type= 1\nParameterization= 1\nTheta_Dimension= 1\n"
                               "Number_Of_Grid= 5\nFrom_Column_Format= XADC\nFrom_Row_Skip= {1}\n"
                               "To_Column_Format= ") +
                       layout.columnFormat +
                       (std::string(layout.rowSkip).empty()
                            ? std::string()
                            : std::string("\nTo_Row_Skip= ") + layout.rowSkip) +
                       "\n$Data_Files 1= from.txt to.txt\n");
    const LinkProcess run = runTorvakLink(dir, "--no-progress --on-problem=stop " + ini);
    ASSERT_EQ(run.exitCode, 0) << run.err;
    // The block's second line: criterion, M, t.
    std::istringstream block(run.out);
    std::string header, criterion;
    double m = 0, t = 0;
    std::getline(block, header);
    block >> criterion >> m >> t;
    EXPECT_NEAR(m, kM, 1e-5) << run.out;
    EXPECT_NEAR(t, kT, 1e-5) << run.out;
  }
}
