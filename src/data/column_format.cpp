#include "data/column_format.h"

#include <algorithm>
#include <string_view>

namespace {

// Why the polytomous letters of a format cannot make records; empty when they can.
std::string polytomousProblem(const FormatCounts& f) {
  const std::string& record = f.record;
  const auto has = [&](char letter) { return record.find(letter) != std::string::npos; };
  const std::string count = f.k > 0 ? "K" : "P";
  const std::string guess = has('C') ? "C" : "G";
  if (f.k > 0 && f.p > 0) return "has both K and P";
  if (f.k > 1) return "has more than one K";
  if (f.p > 1) return "has more than one P";
  if (f.m > 1) return "has more than one M";
  if (f.r > 1) return "has more than one R";
  if (f.e > 0 && f.q > 0) return "has both E and Q";
  if (f.s > 1) return "has more than one S";
  if (f.table() && f.k + f.p + f.m + f.r > 0) {
    const std::size_t other = record.find_first_of("KPMR");
    return std::string("has both ") + (f.e > 0 ? "E" : "Q") + " and " + record[other] +
           " (table columns or a count, not both)";
  }
  if (f.s > 0 && f.e == 0) return "has S without E";
  if (f.e + f.q > kMostCategories - 1) {
    return std::string("has more than ") + std::to_string(kMostCategories - 1) + " " +
           (f.e > 0 ? "E" : "Q");
  }
  if (f.b > 0 && f.polytomous()) {
    return std::string("has both B and ") + record[record.find_first_of("KPMEQ")] +
           " (difficulties are read for dichotomous items only)";
  }
  if (f.m > 0 && f.p > 0) return "has both M and P (with M, K gives the category count)";
  if (f.m > 0 && f.k == 0) return "has M without K (the category count)";
  if (f.r > 0 && f.k + f.p == 0) return "has R without K or P (the category count)";
  if (f.k + f.p > 0 && f.r == 0) return "has " + count + " without R (the intercepts after d1)";
  if (f.r > 0 && record.find('R') < f.lastCount) {
    return std::string("has R before ") + record[f.lastCount];
  }
  if (f.m > 0 && f.c > 0 && record.find_first_of("CG") < record.find('M')) {
    return "has " + guess + " before M (M tells whether the record holds a guessing word)";
  }
  if (f.k + f.p > 0 && f.d == 0) return "has " + count + " without D or N (the first intercept)";
  if (f.k + f.p > 0 && f.m == 0 && f.c > 0) {
    return "has both " + count + " and " + guess +
           " (graded and partial credit items have no guessing parameter; M tells 3PL items "
           "apart)";
  }
  return {};
}

}  // namespace

std::string recordLetters(std::string_view columnFormat) {
  std::string record;
  for (char letter : columnFormat) {
    if (letter >= 'a' && letter <= 'z') letter = static_cast<char>(letter - 'a' + 'A');
    if (kColumnLetters.find(letter) == std::string_view::npos) break;
    record.push_back(letter);
  }
  return record;
}

FormatCounts countFormat(const std::string& columnFormat) {
  FormatCounts counts;
  counts.record = recordLetters(columnFormat);
  auto count = [&](char letter) {
    return static_cast<int>(std::ranges::count(counts.record, letter));
  };
  counts.a = count('A');
  counts.b = count('B');
  counts.c = count('C') + count('G');  // guessing, as written or as a logit
  counts.d = count('D') + count('N');  // intercept, as written or negated
  counts.t = count('T');
  counts.k = count('K');
  counts.p = count('P');
  counts.r = count('R');
  counts.m = count('M');
  counts.e = count('E');
  counts.q = count('Q');
  counts.s = count('S');
  counts.lastCount = counts.record.find_last_of("KPM");
  counts.fewest = counts.record.size() - static_cast<std::size_t>(counts.r) -
                  static_cast<std::size_t>(counts.m > 0 ? counts.c : 0);
  counts.negated = count('N') > 0;
  return counts;
}

std::string formatProblem(const FormatCounts& f, const ItemFileOutputs& out) {
  if (f.record.empty()) return "reads no value";
  if (f.c > 1) return "has more than one C";
  if (f.d > 1) return "has more than one D";
  if (f.b > 0 && f.d > 0) return "has both B and D";
  if (f.b > f.a) return "has more B than A";
  if (out.dimension > 0 && f.a != out.dimension) {
    return "has " + std::to_string(f.a) + " A for dimension " + std::to_string(out.dimension);
  }
  return polytomousProblem(f);
}

bool makesIntercepts(const FormatCounts& f) { return f.b > 0 || f.d > 0 || f.table(); }

std::size_t expectedRecords(const FormatCounts& f, const ItemFileOutputs& out) {
  if (f.a + f.t > 0) return out.slopes.size() / static_cast<std::size_t>(f.a + f.t);
  if (makesIntercepts(f) && !out.intercepts.empty()) return out.intercepts.size();
  if (f.c > 0 && !out.guessing.empty()) return out.guessing.size();
  return 0;
}

bool readsThetaOnly(const FormatCounts& f) {
  return f.t > 0 && f.a + f.b + f.c + f.d + f.k + f.p + f.r + f.m + f.e + f.q + f.s == 0;
}

bool mayBeMissing(const FormatCounts& f, char letter) {
  return f.table() && std::string_view("DNCGEQS").find(letter) != std::string_view::npos;
}

std::string columnFormatProblem(const std::string& columnFormat, int dimension) {
  ItemFileOutputs out;
  out.dimension = dimension;
  const std::string problem = formatProblem(countFormat(columnFormat), out);
  return problem.empty() ? problem : "column format " + columnFormat + " " + problem;
}
