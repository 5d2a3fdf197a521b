// make-examples: writes the shipped example runs (parameter files, item parameter files and an
// empirical theta file) into one folder.
//
//   make-examples OUTPUT_FOLDER
//
// Every example links a From and a To calibration of the same items. The To items are drawn
// first; the From items are the same items expressed on a scale that a known transformation
//
//   theta_To = M theta_From + t
//
// carries onto the To scale, plus a little noise. An item's response depends on
// a_To' theta_To + d_To = a_To' (M theta_From + t) + d_To, so on the From scale
//
//   a_From = M' a_To        d_From = d_To + a_To' t.
//
// Model 1 and Models 3 and 4 with Parameterization 1 report this M and t (the matrix row by
// row, then t); the values chosen for each example are listed in the README.
//
// The random numbers come from our own splitmix64 and Box-Muller, and every value is written
// with four decimals, so the files are the same on every machine and every run.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <numbers>
#include <string>
#include <vector>

namespace {

class Rng {
 public:
  explicit Rng(std::uint64_t seed) : state_(seed) {}

  std::uint64_t next() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }

  // Uniform on (0, 1): never 0, so the logarithm below is finite.
  double uniform() { return (static_cast<double>(next() >> 11) + 0.5) * 0x1.0p-53; }

  double uniform(double low, double high) { return low + (high - low) * uniform(); }

  // One standard normal deviate per call (the second Box-Muller value is dropped so that
  // the sequence depends only on the number of calls).
  double normal() {
    const double u1 = uniform();
    const double u2 = uniform();
    return std::sqrt(-2.0 * std::log(u1)) * std::cos(2.0 * std::numbers::pi * u2);
  }

 private:
  std::uint64_t state_;
};

// theta_To = M theta_From + t; M row by row.
struct Transformation {
  int dimension;
  std::vector<double> M;
  std::vector<double> t;
};

struct Item {
  std::vector<double> slopes;
  double intercept = 0.0;
  double guessing = 0.0;
};

std::string fixed4(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.4f", value);
  if (std::string(text) == "-0.0000") return "0.0000";
  return text;
}

double round4(double value) { return std::stod(fixed4(value)); }

// Right-aligned in 7 columns, so that the files read as tables.
std::string padded(const std::string& word) {
  return std::string(7 - std::min<std::size_t>(7, word.size()), ' ') + word;
}

std::vector<Item> drawToItems(Rng& rng, int count, int dimension) {
  std::vector<Item> items(static_cast<std::size_t>(count));
  for (Item& item : items) {
    item.slopes.resize(static_cast<std::size_t>(dimension));
    for (double& a : item.slopes) a = round4(rng.uniform(0.6, 1.8));
    item.intercept = round4(1.1 * rng.normal());
    item.guessing = round4(rng.uniform(0.05, 0.25));
  }
  return items;
}

// The same items on the From scale, with normal noise of the given sizes.
std::vector<Item> toFromScale(const std::vector<Item>& toItems, const Transformation& tr, Rng& rng,
                              double slopeNoise, double interceptNoise) {
  const int d = tr.dimension;
  std::vector<Item> items;
  for (const Item& to : toItems) {
    Item from;
    from.slopes.assign(static_cast<std::size_t>(d), 0.0);
    for (int l = 0; l < d; ++l) {
      double sum = 0.0;
      for (int k = 0; k < d; ++k) sum += tr.M[k * d + l] * to.slopes[k];
      from.slopes[l] = round4(sum + slopeNoise * rng.normal());
    }
    double shift = 0.0;
    for (int k = 0; k < d; ++k) shift += to.slopes[k] * tr.t[k];
    from.intercept = round4(to.intercept + shift + interceptNoise * rng.normal());
    from.guessing = to.guessing;
    items.push_back(from);
  }
  return items;
}

// One line per item in the letters of format (X A B C D). divisor 1.702 writes the normal
// metric: slopes and intercepts divided by it, as the reader multiplies them back. A "B" is
// the difficulty of a format with one "B": the reader pairs difficulties with the record's
// last slopes, so intercept = -a_last * b, with a_last as the reader sees it.
std::string formatItems(const std::vector<Item>& items, const std::string& format,
                        const std::vector<std::string>& header, double divisor = 1.0) {
  std::string text;
  for (const std::string& line : header) text += line + "\n";
  int number = 1;
  for (const Item& item : items) {
    std::string line;
    std::size_t slope = 0;
    for (char letter : format) {
      std::string word;
      switch (letter) {
        case 'X': {
          char label[16];
          std::snprintf(label, sizeof label, "item%02d", number);
          word = label;
          break;
        }
        case 'A':
          word = fixed4(item.slopes[slope++] / divisor);
          break;
        case 'B': {
          const double lastSlope = round4(item.slopes.back() / divisor) * divisor;
          word = fixed4(-item.intercept / lastSlope);
          break;
        }
        case 'C':
          word = fixed4(item.guessing);
          break;
        case 'D':
          word = fixed4(item.intercept / divisor);
          break;
      }
      if (!line.empty()) line += ' ';
      line += padded(word);
    }
    text += line + "\n";
    ++number;
  }
  return text;
}

// Empirical thetas: correlated normal points, theta = L z with a fixed lower-triangular L.
std::string formatThetas(Rng& rng, int count, int dimension) {
  const std::vector<double> L = {1.0, 0.0, 0.0, 0.4, 0.9165, 0.0, 0.3, 0.2, 0.9327};
  std::string text = "theta1 theta2 theta3\n";
  for (int i = 0; i < count; ++i) {
    std::vector<double> z(static_cast<std::size_t>(dimension));
    for (double& value : z) value = rng.normal();
    std::string line;
    for (int k = 0; k < dimension; ++k) {
      double value = 0.0;
      for (int l = 0; l <= k; ++l) value += L[k * 3 + l] * z[l];
      if (!line.empty()) line += ' ';
      line += padded(fixed4(value));
    }
    text += line + "\n";
  }
  return text;
}

// A mixed-format test: 3PL items, graded items (intercepts decreasing) and partial credit items
// (exponent k a'theta + d_k), each with its categories.
struct PolytomousItem {
  char model = '3';  // '3' a 3PL, 'G' graded, 'P' partial credit
  std::vector<double> slopes;
  std::vector<double> intercepts;  // d_1 .. d_(m-1); one for a 3PL
  double guessing = 0.0;
};

// count items whose models cycle through models; graded and partial credit items get 3 to 5
// categories.
std::vector<PolytomousItem> drawMixedItems(Rng& rng, int count, int dimension,
                                           const std::string& models) {
  std::vector<PolytomousItem> items(static_cast<std::size_t>(count));
  int index = 0;
  for (PolytomousItem& item : items) {
    item.model = models[static_cast<std::size_t>(index++) % models.size()];
    item.slopes.resize(static_cast<std::size_t>(dimension));
    for (double& a : item.slopes) a = round4(rng.uniform(0.6, 1.8));
    if (item.model == '3') {
      item.intercepts = {round4(1.1 * rng.normal())};
      item.guessing = round4(rng.uniform(0.05, 0.25));
      continue;
    }
    const int categories = 3 + index % 3;
    double next = rng.uniform(0.8, 2.2);
    for (int k = 1; k < categories; ++k) {
      item.intercepts.push_back(round4(item.model == 'G' ? next : rng.uniform(-1.5, 1.5)));
      next -= rng.uniform(0.7, 1.5);
    }
  }
  return items;
}

// The same items on the From scale: a_From = M' a_To, a graded or 3PL intercept d + a't, a
// partial credit d_k + k a't, with normal noise (graded intercepts kept in order).
std::vector<PolytomousItem> mixedFromScale(const std::vector<PolytomousItem>& toItems,
                                           const Transformation& tr, Rng& rng, double noise) {
  const int d = tr.dimension;
  std::vector<PolytomousItem> items;
  for (const PolytomousItem& to : toItems) {
    PolytomousItem from = to;
    for (int l = 0; l < d; ++l) {
      double sum = 0.0;
      for (int k = 0; k < d; ++k) sum += tr.M[k * d + l] * to.slopes[k];
      from.slopes[l] = round4(sum + noise * rng.normal());
    }
    double shift = 0.0;
    for (int k = 0; k < d; ++k) shift += to.slopes[k] * tr.t[k];
    for (std::size_t k = 0; k < from.intercepts.size(); ++k) {
      const double factor = to.model == 'P' ? static_cast<double>(k + 1) : 1.0;
      from.intercepts[k] = round4(to.intercepts[k] + factor * shift + noise * rng.normal());
    }
    items.push_back(from);
  }
  return items;
}

// One line per item: label, the model code (1 a 3PL, 2 graded; with partialCredit, P items are
// written with their count alone), the category count, the guessing of a 3PL, the intercepts,
// the slopes: the columns that "XMKCDRA..A" reads; with partialCredit "XPDRA..A".
std::string formatMixed(const std::vector<PolytomousItem>& items, bool partialCredit) {
  std::string text;
  int number = 1;
  for (const PolytomousItem& item : items) {
    char label[16];
    std::snprintf(label, sizeof label, "item%02d", number++);
    std::vector<std::string> words = {label};
    const int categories = static_cast<int>(item.intercepts.size()) + 1;
    if (!partialCredit) words.push_back(item.model == '3' ? "1" : "2");
    words.push_back(std::to_string(categories));
    if (item.model == '3') words.push_back(fixed4(item.guessing));
    for (double d : item.intercepts) words.push_back(fixed4(d));
    for (double a : item.slopes) words.push_back(fixed4(a));
    std::string line;
    for (const std::string& word : words) line += (line.empty() ? "" : " ") + padded(word);
    text += line + "\n";
  }
  return text;
}

struct FileFormat {
  std::string rowSkip;  // with braces, or empty
  std::string columnFormat;
  int fileType = 0;
};

struct ParameterFileText {
  std::string name;  // example name: <name>.ini, report <name>-report.txt
  int model = 1;
  int dimension = 1;
  int grid = 11;  // 0: empirical thetas
  int weighing = 0;
  FileFormat from;
  FileFormat to;
  std::string empRowSkip;
  std::string empColumnFormat;
  std::vector<std::vector<std::string>> pairs;  // From, To and, on no grid, empirical
};

// The layout the program's parameter-file writer uses, LF line ends.
std::string formatParameterFile(const ParameterFileText& p) {
  std::string out;
  auto line = [&out](const std::string& text) { out += text + "\n"; };
  line("[REDevar Parameters]");
  line("Model_Type= " + std::to_string(p.model));
  line("Parameterization= 1");
  line("Theta_Dimension= " + std::to_string(p.dimension));
  line("Output_File_Type= 1");
  line("Output_File_Name=  " + p.name + "-report.txt");
  line("");
  line("[Integral Parameter]");
  line("Weighing_Method= " + std::to_string(p.weighing));
  line("Number_Of_Grid= " + std::to_string(p.grid));
  line("Range_Begin= -4.0");
  line("Range_End= 4.0");
  line("");
  line("[Data File Format]");
  const std::pair<std::string, const FileFormat*> formats[] = {{"From", &p.from}, {"To", &p.to}};
  for (const auto& [prefix, format] : formats) {
    if (!format->rowSkip.empty()) line(prefix + "_Row_Skip= " + format->rowSkip);
    line(prefix + "_Column_Format= " + format->columnFormat);
    line(prefix + "_File_Type= " + std::to_string(format->fileType) + " ");
  }
  if (!p.empRowSkip.empty()) line("Emp_Row_Skip= " + p.empRowSkip);
  if (!p.empColumnFormat.empty()) line("Emp_Column_Format= " + p.empColumnFormat);
  line("");
  line("[Minimization Parameters]");
  line("");
  line("[Data File Names]");
  int number = 1;
  for (const std::vector<std::string>& names : p.pairs) {
    std::string entry = "$Data_Files " + std::to_string(number++) + "=";
    for (const std::string& name : names) entry += " " + name;
    line(entry);
  }
  line("");
  line("[Other Parameters]");
  return out;
}

bool writeFile(const std::filesystem::path& folder, const std::string& name,
               const std::string& text) {
  std::ofstream out(folder / name, std::ios::binary | std::ios::trunc);
  out << text;
  out.close();
  if (!out) {
    std::fprintf(stderr, "make-examples: cannot write %s\n", (folder / name).c_str());
    return false;
  }
  return true;
}

struct ExampleFile {
  std::string name;
  std::string text;
};

ParameterFileText example(const std::string& name, int model, int dimension, int grid) {
  ParameterFileText p;
  p.name = name;
  p.model = model;
  p.dimension = dimension;
  p.grid = grid;
  return p;
}

std::vector<ExampleFile> makeExamples() {
  std::vector<ExampleFile> files;
  auto add = [&files](const std::string& name, const std::string& text) {
    files.push_back({name, text});
  };

  // Model 1, one dimension: label, slope, intercept, guessing after two header lines.
  {
    Rng rng(101);
    const Transformation tr{1, {0.8}, {0.5}};
    const std::vector<Item> to = drawToItems(rng, 20, 1);
    const std::vector<Item> from = toFromScale(to, tr, rng, 0.02, 0.03);
    const std::vector<std::string> header = {"Example calibration of 20 items",
                                             "item slope intercept guessing"};
    add("m1_1d_from.dat", formatItems(from, "XADC", header));
    add("m1_1d_to.dat", formatItems(to, "XADC", header));
    ParameterFileText p = example("m1_1d", 1, 1, 11);
    p.from = p.to = {"{1-2}", "XADC", 0};
    p.pairs = {{"m1_1d_from.dat", "m1_1d_to.dat"}};
    add("m1_1d.ini", formatParameterFile(p));
  }

  // Model 1, two dimensions, two pairs; difficulties instead of intercepts.
  {
    Rng rng(202);
    const Transformation first{2, {1.1, 0.2, 0.1, 0.9}, {0.3, -0.2}};
    const Transformation second{2, {0.9, 0.0, 0.15, 1.2}, {-0.5, 0.25}};
    const std::vector<std::string> header;
    int pair = 1;
    for (const Transformation* tr : {&first, &second}) {
      const std::vector<Item> to = drawToItems(rng, 25, 2);
      const std::vector<Item> from = toFromScale(to, *tr, rng, 0.02, 0.03);
      const std::string number = std::to_string(pair++);
      add("m1_2d_from" + number + ".dat", formatItems(from, "AABC", header));
      add("m1_2d_to" + number + ".dat", formatItems(to, "AABC", header));
    }
    ParameterFileText p = example("m1_2d", 1, 2, 5);
    p.from = p.to = {"", "AABC", 0};
    p.pairs = {{"m1_2d_from1.dat", "m1_2d_to1.dat"}, {"m1_2d_from2.dat", "m1_2d_to2.dat"}};
    add("m1_2d.ini", formatParameterFile(p));
  }

  // Models 3 and 4 on the same one-dimensional grid data.
  {
    Rng rng(303);
    const Transformation tr{1, {1.2}, {-0.3}};
    const std::vector<Item> to = drawToItems(rng, 20, 1);
    const std::vector<Item> from = toFromScale(to, tr, rng, 0.02, 0.03);
    add("grid_1d_from.dat", formatItems(from, "ADC", {}));
    add("grid_1d_to.dat", formatItems(to, "ADC", {}));
    for (int model : {3, 4}) {
      const std::string name = model == 3 ? "m3_1d_grid" : "m4_1d_grid";
      ParameterFileText p = example(name, model, 1, 41);
      p.from = p.to = {"", "ADC", 0};
      p.pairs = {{"grid_1d_from.dat", "grid_1d_to.dat"}};
      add(name + ".ini", formatParameterFile(p));
    }
  }

  // Model 3, two dimensions, normal weights, item files in the normal metric.
  {
    Rng rng(404);
    const Transformation tr{2, {1.05, 0.15, 0.1, 0.85}, {0.2, 0.4}};
    const std::vector<Item> to = drawToItems(rng, 25, 2);
    const std::vector<Item> from = toFromScale(to, tr, rng, 0.02, 0.03);
    add("m3_2d_from.dat", formatItems(from, "AADC", {}, 1.702));
    add("m3_2d_to.dat", formatItems(to, "AADC", {}, 1.702));
    ParameterFileText p = example("m3_2d_weighted", 3, 2, 21);
    p.weighing = 1;
    p.from = p.to = {"", "AADC", -1};
    p.pairs = {{"m3_2d_from.dat", "m3_2d_to.dat"}};
    add("m3_2d_weighted.ini", formatParameterFile(p));
  }

  // Model 4, three dimensions, 200 empirical theta points.
  {
    Rng rng(505);
    const Transformation tr{3, {1.1, 0.1, 0.0, 0.0, 0.9, 0.2, 0.1, 0.0, 1.2}, {0.25, -0.1, 0.3}};
    const std::vector<Item> to = drawToItems(rng, 30, 3);
    const std::vector<Item> from = toFromScale(to, tr, rng, 0.02, 0.03);
    add("m4_3d_from.dat", formatItems(from, "AAADC", {}));
    add("m4_3d_to.dat", formatItems(to, "AAADC", {}));
    add("m4_3d_theta.dat", formatThetas(rng, 200, 3));
    ParameterFileText p = example("m4_3d_empirical", 4, 3, 0);
    p.from = p.to = {"", "AAADC", 0};
    p.empRowSkip = "{1}";
    p.empColumnFormat = "TTT";
    p.pairs = {{"m4_3d_from.dat", "m4_3d_to.dat", "m4_3d_theta.dat"}};
    add("m4_3d_empirical.ini", formatParameterFile(p));
  }

  // A mixed-format test in two dimensions: 3PL and graded items, Models 1 and 4.
  {
    Rng rng(606);
    const Transformation tr{2, {1.1, 0.15, 0.0, 0.9}, {0.3, -0.2}};
    const std::vector<PolytomousItem> to = drawMixedItems(rng, 24, 2, "3G");
    const std::vector<PolytomousItem> from = mixedFromScale(to, tr, rng, 0.02);
    add("mixed_2d_from.dat", formatMixed(from, false));
    add("mixed_2d_to.dat", formatMixed(to, false));
    for (int model : {1, 4}) {
      const std::string name = model == 1 ? "m1_2d_mixed" : "m4_2d_mixed";
      ParameterFileText p = example(name, model, 2, 15);
      p.from = p.to = {"", "XMKCDRAA", 0};
      p.pairs = {{"mixed_2d_from.dat", "mixed_2d_to.dat"}};
      add(name + ".ini", formatParameterFile(p));
    }
  }

  // Partial credit items in one dimension, Model 3.
  {
    Rng rng(707);
    const Transformation tr{1, {0.85}, {0.4}};
    const std::vector<PolytomousItem> to = drawMixedItems(rng, 15, 1, "P");
    const std::vector<PolytomousItem> from = mixedFromScale(to, tr, rng, 0.02);
    add("pc_1d_from.dat", formatMixed(from, true));
    add("pc_1d_to.dat", formatMixed(to, true));
    ParameterFileText p = example("m3_1d_partial_credit", 3, 1, 41);
    p.from = p.to = {"", "XPDRA", 0};
    p.pairs = {{"pc_1d_from.dat", "pc_1d_to.dat"}};
    add("m3_1d_partial_credit.ini", formatParameterFile(p));
  }
  return files;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "Usage: make-examples OUTPUT_FOLDER\n");
    return 64;
  }
  const std::filesystem::path folder = argv[1];
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  if (error) {
    std::fprintf(stderr, "make-examples: cannot create %s: %s\n", folder.c_str(),
                 error.message().c_str());
    return 1;
  }
  for (const ExampleFile& file : makeExamples()) {
    if (!writeFile(folder, file.name, file.text)) return 1;
  }
  return 0;
}
