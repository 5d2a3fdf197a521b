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

namespace {

// Why the item at pos matches no line; empty when it matches some. Moves pos past the item.
std::string itemProblem(std::string_view text, std::size_t& pos) {
  const std::size_t start = pos;
  long long first = 0;
  const bool fits = readNumber(text, pos, first);
  const auto item = [&] { return "item " + std::string(text.substr(start, pos - start)); };
  if (!fits) return item() + " holds a number too large for a line number";
  if (pos == text.size() || text[pos] == ',') return {};
  long long count = 0;
  if (text[pos] == '-') {
    ++pos;
    const std::size_t digits = pos;
    if (!readNumber(text, pos, count) || pos == digits || count < first) {
      return item() + " names no line: a range N-M needs M at least N";
    }
    return {};
  }
  if (text[pos] == 'S') {
    ++pos;
    bool countsFit = readNumber(text, pos, count);
    if (pos < text.size() && text[pos] == 'R') {
      ++pos;
      long long keep = 0;
      countsFit = readNumber(text, pos, keep) && countsFit;
    }
    if (!countsFit) return item() + " holds a number too large for a line count";
    if (count == 0) return item() + " skips no line: the count after S must be at least 1";
    return {};
  }
  std::string problem = item() + " is followed by '" + text[pos] +
                        "', so it matches no line: a single line number is followed by ',' or "
                        "the end of the list";
  if (text[pos] == 's' || text[pos] == 'r') problem += " (S and R are capitals)";
  ++pos;
  return problem;
}

}  // namespace

std::string rowSkipListProblem(std::string_view list) {
  std::string_view text = list;
  if (!text.empty() && text.front() == '{') text.remove_prefix(1);
  if (!text.empty() && text.back() == '}') text.remove_suffix(1);
  const std::string shown = "row-skip list {" + std::string(text) + "}: ";
  bool anyItem = false;
  std::size_t pos = 0;
  while (pos < text.size()) {
    if (!isDigit(text[pos])) {
      ++pos;  // the reader passes over anything between items
      continue;
    }
    anyItem = true;
    const std::string problem = itemProblem(text, pos);
    if (!problem.empty()) return shown + problem;
  }
  if (!anyItem && !text.empty()) {
    return shown + "names no line: an item starts with a line number (5, 1-2, 10S3, 3S2R1)";
  }
  return {};
}

std::string rowSkipListOf(const std::vector<long long>& lines) {
  std::string list;
  for (std::size_t i = 0; i < lines.size();) {
    std::size_t j = i;
    while (j + 1 < lines.size() && lines[j + 1] == lines[j] + 1) ++j;
    list += (list.empty() ? "" : ",") + std::to_string(lines[i]);
    if (j > i) list += "-" + std::to_string(lines[j]);
    i = j + 1;
  }
  return "{" + list + "}";
}

std::string rowSkipListKeeping(const std::vector<long long>& kept, long long lastLine) {
  if (kept.size() >= 3) {
    const long long step = kept[1] - kept[0];
    bool regular = step >= 2 && lastLine - kept.back() < step;
    for (std::size_t i = 2; regular && i < kept.size(); ++i) {
      regular = kept[i] - kept[i - 1] == step;
    }
    if (regular) {
      std::vector<long long> head;  // the lines before the first kept one
      for (long long line = 1; line < kept[0]; ++line) head.push_back(line);
      std::string list = rowSkipListOf(head);
      list.pop_back();
      return list + (head.empty() ? "" : ",") + std::to_string(kept[0] + 1) + "S" +
             std::to_string(step - 1) + "R1}";
    }
  }
  std::vector<long long> skipped;
  std::size_t k = 0;
  for (long long line = 1; line <= lastLine; ++line) {
    if (k < kept.size() && kept[k] == line) {
      ++k;
    } else {
      skipped.push_back(line);
    }
  }
  return rowSkipListOf(skipped);
}
