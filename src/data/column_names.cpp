#include "data/column_names.h"

#include <cctype>
#include <regex>
#include <utility>

std::string lowerUnquoted(std::string name) {
  if (name.size() >= 2 && name.front() == '"' && name.back() == '"') {
    name = name.substr(1, name.size() - 2);
  }
  for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return name;
}

ColumnMeaning columnMeaning(const std::string& word) {
  // Compiled once: std::regex construction costs more than a whole header check.
  static const std::pair<std::regex, ColumnMeaning> kNames[] = {
      {std::regex("a|a_?[0-9]+|z[0-9]+|slope[0-9]*|dscrmn|discrimination|b\\.cat1\\.dim[0-9]+"),
       ColumnMeaning::Slope},
      {std::regex("d|d_?[0-9]+|intercept[0-9]*|\\(intercept\\)"), ColumnMeaning::Intercept},
      {std::regex("axsi_\\.cat1"), ColumnMeaning::NegatedIntercept},
      {std::regex("b|b_?[0-9]+|difficulty|dffclt|threshold|xsi\\.item"), ColumnMeaning::Difficulty},
      {std::regex("g|c|gussng|guess|guessing|asymptote"), ColumnMeaning::Guessing},
      {std::regex("theta[0-9]*|f[0-9]+|eap|eap\\.dim[0-9]+"), ColumnMeaning::Theta},
      {std::regex("ak[0-9]+"), ColumnMeaning::Scoring},
      {std::regex("u|se|se_.*|sd\\..*|.*\\.se"), ColumnMeaning::Other},
  };
  const std::string name = lowerUnquoted(word);
  // The regex engine recurses per character; no column name is this long.
  if (name.size() > 64) return ColumnMeaning::Unknown;
  for (const auto& [pattern, meaning] : kNames) {
    if (std::regex_match(name, pattern)) return meaning;
  }
  return ColumnMeaning::Unknown;
}

char letterForMeaning(ColumnMeaning meaning) {
  switch (meaning) {
    case ColumnMeaning::Slope:
      return 'A';
    case ColumnMeaning::Intercept:
      return 'D';
    case ColumnMeaning::NegatedIntercept:
      return 'N';
    case ColumnMeaning::Difficulty:
      return 'B';
    case ColumnMeaning::Guessing:
      return 'C';
    case ColumnMeaning::Theta:
      return 'T';
    default:
      return 'X';
  }
}
