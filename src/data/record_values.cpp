#include "data/record_values.h"

#include <cctype>
#include <string_view>

namespace torvak_records {

Model modelOf(const std::string& word) {
  std::string name = word;
  for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (name == "1" || name == "3pl") return Model::ThreePL;
  if (name == "2" || name == "graded") return Model::Graded;
  if (name == "2pl") return Model::TwoPL;
  if (name == "gpcm") return Model::PartialCredit;
  return Model::None;
}

bool countOf(const std::string& word, int& count) {
  if (word.empty() || word.size() > 3 || word.find_first_not_of("0123456789") != std::string::npos)
    return false;
  count = std::stoi(word);
  return count >= 2 && count <= kMostCategories;
}

bool isMissing(const std::string& field) { return field.empty() || field == "NA"; }

std::string missingText(const std::string& field) {
  return field.empty() ? std::string("an empty field") : "'" + field + "'";
}

const char* kindName(ItemKind kind) {
  return kind == ItemKind::PartialCredit ? "partial credit" : "graded";
}

std::string placeOf(const Word& word) {
  return "line " + std::to_string(word.line) +
         (word.column > 0 ? ", column " + std::to_string(word.column) : std::string());
}

std::string countText(const std::string& letters, const Record& record) {
  std::string text;
  for (std::size_t i = 0, w = 0; i < letters.size() && w < record.countWords.size(); ++i) {
    if (std::string_view("KPM").find(letters[i]) == std::string_view::npos) continue;
    text += (text.empty() ? "" : ", ") + std::string(1, letters[i]) + " '" +
            record.countWords[w++].text + "'";
  }
  return text;
}

}  // namespace torvak_records
