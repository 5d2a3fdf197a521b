#include "params/data_format_rules.h"

#include <algorithm>
#include <cctype>
#include <string_view>

#include "data/item_file.h"
#include "data/row_skip.h"

namespace {

int countOf(const std::string& format, char letter) {
  return static_cast<int>(std::count_if(format.begin(), format.end(), [letter](unsigned char c) {
    return std::toupper(c) == letter;
  }));
}

// The first character of columnFormat that is no column letter, or '\0'.
char strayColumnLetter(const std::string& columnFormat) {
  const std::size_t read = recordLetters(columnFormat).size();
  return read < columnFormat.size() ? columnFormat[read] : '\0';
}

}  // namespace

bool formatFits(const std::string& columnFormat, bool thetaFile, int dimension) {
  if (columnFormat.empty() || strayColumnLetter(columnFormat) != '\0') return false;
  const int thetas = countOf(columnFormat, 'T');
  if (thetaFile) {
    int itemLetters = 0;
    for (char letter : std::string_view("ABCDEGKMNPQRS")) {
      itemLetters += countOf(columnFormat, letter);
    }
    return itemLetters == 0 && thetas > 0 && (dimension == 0 || thetas == dimension);
  }
  return thetas == 0 && countOf(columnFormat, 'A') > 0 &&
         columnFormatProblem(columnFormat, dimension).empty();
}

std::string dataFormatProblem(const std::string& rowSkip, const std::string& columnFormat,
                              int dimension) {
  if (!rowSkip.empty()) {
    if (std::string problem = rowSkipListProblem(rowSkip); !problem.empty()) return problem;
  }
  if (columnFormat.empty()) return {};
  if (const char stray = strayColumnLetter(columnFormat); stray != '\0') {
    return "column format " + columnFormat + ": '" + std::string(1, stray) +
           "' is no column letter (A, B, C, D, E, G, K, M, N, P, Q, R, S, T or X); the "
           "reader would stop at it";
  }
  return columnFormatProblem(columnFormat, dimension);
}
