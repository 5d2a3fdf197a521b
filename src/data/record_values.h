// The words of one record of an item file and the values read from them so far, with the
// small readings of a word (model, category count, missing value) and their message texts.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "data/item_categories.h"

namespace torvak_records {

enum class Model : std::uint8_t { None, ThreePL, TwoPL, Graded, PartialCredit };

// An item model word as flexMIRT and IRTPRO write it, or by name; None for another word.
Model modelOf(const std::string& word);

// A category count: a whole number from 2 to kMostCategories, in digits only.
bool countOf(const std::string& word, int& count);

// R writes a missing value as NA, pandas as an empty field.
bool isMissing(const std::string& field);

// "an empty field" or "'NA'"
std::string missingText(const std::string& field);

// A word of a record and where it stands: its line and, when records are lines, its field
// (from 1; 0 when words run across lines).
struct Word {
  std::string text;
  long long line = 0;
  std::size_t column = 0;
};

// A value read for a letter that may be missing.
struct Cell {
  bool present = false;
  double value = 0.0;
  Word word;
};

// What one record has read so far; written to the outputs once the record is complete.
struct Record {
  Model model = Model::None;
  int count = 0;  // from K or P
  Word countWord;                // the K or P word
  std::vector<Word> countWords;  // the K, P and M words in format order, for messages
  ItemKind kind = ItemKind::Dichotomous;
  Cell intercept;  // D or N
  Cell guess;      // C or G
  std::vector<double> rest;      // d_2 .. from R (or E, Q once the record is complete)
  std::vector<Word> restWords;
  std::vector<Cell> table;  // E or Q fields
  bool partialCredit = false;  // an S field holds a value
  long long lastLine = 0;

  void clear() {
    model = Model::None;
    count = 0;
    countWord = {};
    countWords.clear();
    kind = ItemKind::Dichotomous;
    intercept = {};
    guess = {};
    rest.clear();
    restWords.clear();
    table.clear();
    partialCredit = false;
  }
};

// "graded" or "partial credit".
const char* kindName(ItemKind kind);

// "line 7" or, when records are lines, "line 7, column 4".
std::string placeOf(const Word& word);

// "'4'" or "M '2', K '4'": the words that make a record's length and kind; letters are the
// letters the record reads.
std::string countText(const std::string& letters, const Record& record);

}  // namespace torvak_records
