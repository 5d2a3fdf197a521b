#include "data/row_skip.h"

#include <climits>

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Reads the digits at pos into value (0 when there are none); false when they overflow an int.
bool readNumber(std::string_view list, std::size_t& pos, long long& value) {
  bool fits = true;
  value = 0;
  while (pos < list.size() && isDigit(list[pos])) {
    if (fits) {
      value = value * 10 + (list[pos] - '0');
      if (value > INT_MAX) fits = false;
    }
    ++pos;
  }
  return fits;
}

bool itemMatches(std::string_view list, std::size_t& pos, long long line) {
  long long first = 0;
  bool firstFits = readNumber(list, pos, first);
  if (pos >= list.size()) return false;
  char next = list[pos];
  if (next == ',' || next == '}') return firstFits && line == first;
  if (next == 'S') {
    ++pos;
    long long skip = 0;
    bool fits = readNumber(list, pos, skip) && firstFits;
    long long test = line - first;
    if (pos < list.size() && list[pos] == 'R') {
      ++pos;
      long long keep = 0;
      fits = readNumber(list, pos, keep) && fits;
      if (skip + keep == 0) return false;
      if (line >= first) test %= skip + keep;
    }
    return fits && line >= first && test >= 0 && test < skip;
  }
  if (next == '-') {
    ++pos;
    long long last = 0;
    bool fits = readNumber(list, pos, last);
    return firstFits && fits && first <= line && line <= last;
  }
  return false;
}

}  // namespace

int rowIsSkipped(std::string_view list, long long line) {
  if (list.size() <= 2) return 0;
  std::size_t pos = 0;
  while (true) {
    while (pos < list.size() && !isDigit(list[pos])) ++pos;
    if (pos >= list.size()) return 0;
    if (itemMatches(list, pos, line)) return 1;
  }
}
