#include "data/field_splitter.h"

namespace {

bool isWhite(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

std::vector<std::string> splitWords(std::string_view line) {
  std::vector<std::string> words;
  std::size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && isWhite(line[i])) ++i;
    const std::size_t start = i;
    while (i < line.size() && !isWhite(line[i])) ++i;
    if (i > start) words.emplace_back(line.substr(start, i - start));
  }
  return words;
}

}  // namespace

std::vector<std::string> splitFields(std::string_view line, char separator) {
  if (separator == ' ') return splitWords(line);
  // A blank is white space other than the separator itself (a tab separates tab fields).
  const auto blank = [separator](char c) { return c != separator && isWhite(c); };
  std::vector<std::string> fields;
  std::size_t i = 0;
  while (i < line.size() && blank(line[i])) ++i;
  if (i == line.size()) return fields;
  while (true) {
    while (i < line.size() && blank(line[i])) ++i;
    std::string field;
    if (i < line.size() && line[i] == '"') {
      // Quoted: up to the closing quote; "" is a quote. Text after the closing quote, up to
      // the separator, is kept as it stands.
      for (++i; i < line.size(); ++i) {
        if (line[i] != '"') {
          field.push_back(line[i]);
        } else if (i + 1 < line.size() && line[i + 1] == '"') {
          field.push_back('"');
          ++i;
        } else {
          ++i;
          break;
        }
      }
    }
    const std::size_t start = i;
    while (i < line.size() && line[i] != separator) ++i;
    std::size_t end = i;
    while (end > start && blank(line[end - 1])) --end;
    field.append(line.substr(start, end - start));
    fields.push_back(std::move(field));
    if (i == line.size()) break;
    ++i;  // past the separator
  }
  return fields;
}
