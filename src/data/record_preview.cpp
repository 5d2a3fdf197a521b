#include "data/record_preview.h"

#include <cctype>
#include <fstream>
#include <sstream>
#include <string_view>
#include <vector>

#include "data/field_splitter.h"
#include "data/item_categories.h"
#include "data/row_skip.h"
#include "params/text_file.h"
#include "params/token_reader.h"

namespace {

std::string upper(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

// A word a letter reads, as the reader takes it: " (not a number!)" when it is none. In a
// table of category intercepts, NA stands where an item has no such parameter.
std::string wordNote(char letter, const std::string& word, bool table) {
  if (letter == 'X' || letter == 'M') return {};
  if (table && std::string_view("DNCGEQS").find(letter) != std::string_view::npos &&
      (word.empty() || word == "NA"))
    return {};
  double number = 0.0;
  if (!parseDoubleToken(word, number)) return " (not a number!)";
  return {};
}

// The letters of the first record with the words they take, when a record's length depends on
// its category count (R) and item model (M): R takes count - 2 words, C and G after an M a word
// of 3PL items only. Empty when the words run out first.
std::string variableRecord(const std::string& format, const std::vector<std::string>& words) {
  std::string text = "First record:";
  std::size_t w = 0;
  int count = 2;
  bool threePl = false;
  for (const char letter : format) {
    int taken = 1;
    if (letter == 'R') taken = count - 2;
    if ((letter == 'C' || letter == 'G') && format.find('M') < format.find(letter) && !threePl) {
      taken = 0;
    }
    for (int k = 0; k < taken; ++k, ++w) {
      if (w >= words.size()) return {};
      const std::string& word = words[w];
      text += std::string("  ") + letter + " " + word;
      if (letter == 'K' || letter == 'P') {
        int value = 0;
        if (!parseIntToken(word, value) || value < 2 || value > kMostCategories) {
          text += " (not a category count!)";
          value = 2;
        }
        count = value;
      } else if (letter == 'M') {
        threePl = word == "1" || upper(word) == "3PL";
      } else {
        text += wordNote(letter, word, false);
      }
    }
  }
  return text;
}

}  // namespace

std::string firstRecordPreview(const std::string& path, const std::string& rowSkip,
                               const std::string& columnFormat, char separator) {
  if (columnFormat.empty()) return "No column format.";
  std::ifstream in;
  if (path.empty() || !openTextFile(path, in)) return "Cannot read " + path;
  std::string list = rowSkip;
  if (!list.empty() && list.front() != '{') list = "{" + list + "}";
  const std::string format = upper(columnFormat);
  const bool variable = format.find_first_of("RM") != std::string::npos;
  const bool table = format.find_first_of("EQ") != std::string::npos;
  // A variable record holds at most 19 more words than its letters.
  const std::size_t wanted = format.size() + (variable ? kMostCategories : 0);
  std::vector<std::string> first;
  long long wordCount = 0;
  long long line = 0, records = 0;
  for (std::string text; std::getline(in, text);) {
    const std::vector<std::string> words = splitFields(text, separator);
    if (words.empty()) continue;  // blank lines are not counted
    if (rowIsSkipped(list, ++line) != 0) continue;
    ++records;
    for (const std::string& word : words) {
      if (first.size() < wanted) first.push_back(word);
      ++wordCount;
    }
  }
  if (variable) {
    // Records of varying length: one a line, as the programs that write them put them.
    const std::string text = variableRecord(format, first);
    if (text.empty()) {
      return "The file holds " + std::to_string(wordCount) + " words after the skipped rows, " +
             "fewer than its first record reads.";
    }
    return text + "   |  " + std::to_string(records) + " records (one a line)";
  }
  if (first.size() < columnFormat.size()) {
    return "The file holds " + std::to_string(wordCount) + " words after the skipped rows, " +
           "fewer than one record of " + std::to_string(columnFormat.size()) + ".";
  }
  std::string text = "First record:";
  for (std::size_t i = 0; i < columnFormat.size(); ++i) {
    const char letter = format[i];
    text += std::string("  ") + letter + " " + first[i] + wordNote(letter, first[i], table);
  }
  const long long size = static_cast<long long>(columnFormat.size());
  text += "   |  " + std::to_string(wordCount / size) + " records";
  if (wordCount % size != 0) {
    text += ", " + std::to_string(wordCount % size) + " words left over";
  }
  return text;
}
