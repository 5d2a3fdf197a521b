#include "data/record_preview.h"

#include <cctype>
#include <fstream>
#include <sstream>
#include <vector>

#include "data/field_splitter.h"
#include "data/row_skip.h"
#include "params/text_file.h"
#include "params/token_reader.h"

std::string firstRecordPreview(const std::string& path, const std::string& rowSkip,
                               const std::string& columnFormat, char separator) {
  if (columnFormat.empty()) return "No column format.";
  std::ifstream in;
  if (path.empty() || !openTextFile(path, in)) return "Cannot read " + path;
  std::string list = rowSkip;
  if (!list.empty() && list.front() != '{') list = "{" + list + "}";
  std::vector<std::string> first;
  long long wordCount = 0;
  long long line = 0;
  for (std::string text; std::getline(in, text);) {
    const std::vector<std::string> words = splitFields(text, separator);
    if (words.empty()) continue;  // blank lines are not counted
    if (rowIsSkipped(list, ++line) != 0) continue;
    for (const std::string& word : words) {
      if (first.size() < columnFormat.size()) first.push_back(word);
      ++wordCount;
    }
  }
  if (first.size() < columnFormat.size()) {
    return "The file holds " + std::to_string(wordCount) + " words after the skipped rows, " +
           "fewer than one record of " + std::to_string(columnFormat.size()) + ".";
  }
  std::string text = "First record:";
  for (std::size_t i = 0; i < columnFormat.size(); ++i) {
    const char letter = static_cast<char>(std::toupper(static_cast<unsigned char>(columnFormat[i])));
    text += std::string("  ") + letter + " " + first[i];
    double number = 0.0;
    if (letter != 'X' && !parseDoubleToken(first[i], number)) text += " (not a number!)";
  }
  const long long size = static_cast<long long>(columnFormat.size());
  text += "   |  " + std::to_string(wordCount / size) + " records";
  if (wordCount % size != 0) {
    text += ", " + std::to_string(wordCount % size) + " words left over";
  }
  return text;
}
