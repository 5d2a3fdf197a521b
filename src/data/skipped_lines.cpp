#include "data/skipped_lines.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <string_view>
#include <vector>

#include "data/column_names.h"
#include "data/field_splitter.h"
#include "data/item_file.h"
#include "data/row_skip.h"
#include "params/text_file.h"
#include "params/token_reader.h"

namespace {

using Meaning = ColumnMeaning;

Meaning meaningOf(const std::string& word) { return columnMeaning(word); }

bool letterReads(char letter, Meaning meaning) {
  switch (letter) {
    case 'A': return meaning == Meaning::Slope;
    case 'B': return meaning == Meaning::Difficulty;
    case 'C':
    case 'G': return meaning == Meaning::Guessing;
    case 'D': return meaning == Meaning::Intercept;
    case 'N': return meaning == Meaning::NegatedIntercept;
    case 'T': return meaning == Meaning::Theta;
    case 'E':
    case 'Q':
    case 'R': return meaning == Meaning::Intercept;
    case 'S': return meaning == Meaning::Scoring;
    case 'K':
    case 'P':
    case 'M': return false;  // no known name is a category count or an item model
    default: return true;  // X takes any column
  }
}

char letterFor(Meaning meaning) { return letterForMeaning(meaning); }

const char* described(char letter) {
  switch (letter) {
    case 'A': return "a slope";
    case 'B': return "a difficulty";
    case 'C': return "a guessing parameter";
    case 'G': return "a guessing parameter written as a logit";
    case 'D': return "an intercept";
    case 'N': return "an intercept written negated";
    case 'T': return "a theta coordinate";
    case 'E': return "a graded item's category intercept";
    case 'Q': return "a partial credit item's category intercept";
    case 'R': return "an item's further intercepts";
    case 'S': return "a partial credit item's category score";
    case 'K': return "a graded item's category count";
    case 'P': return "a partial credit item's category count";
    case 'M': return "an item model";
    default: return "a column that is passed over";
  }
}

bool isNumber(const std::string& word) {
  double value = 0.0;
  return parseDoubleToken(word, value);
}

// A header names the columns: no word is a number, there is a word for every letter (or for
// every letter but the first, the row names'), and at least two names are known.
bool namesColumns(const std::vector<std::string>& words, const std::string& record) {
  if (words.size() != record.size() && words.size() + 1 != record.size()) return false;
  int known = 0;
  for (const std::string& word : words) {
    if (isNumber(word)) return false;
    if (meaningOf(word) != Meaning::Unknown) ++known;
  }
  return known >= std::min<int>(2, static_cast<int>(words.size()));
}

// Where letters and columns stop pairing by position: at R, whose words vary with the
// record's category count, and at C or G after an M, which read a word for 3PL items only.
std::size_t fixedLetters(const std::string& record) {
  std::size_t end = record.find('R');
  if (record.find('M') != std::string::npos) end = std::min(end, record.find_first_of("CG"));
  return std::min(end, record.size());
}

std::string checkHeader(const std::vector<std::string>& words, const std::string& record,
                        const DataFileSpec& spec, long long fileLine) {
  if (!namesColumns(words, record)) return {};
  const std::size_t offset = record.size() - words.size();
  std::string readsIt = record;
  std::string first;  // the first contradiction, for the message
  for (std::size_t i = 0; i < words.size() && offset + i < fixedLetters(record); ++i) {
    const char letter = record[offset + i];
    const Meaning meaning = meaningOf(words[i]);
    if (meaning == Meaning::Unknown || letterReads(letter, meaning)) continue;
    readsIt[offset + i] = letterFor(meaning);
    if (first.empty()) {
      first = "'" + words[i] + "' names " +
              described(meaning == Meaning::Scoring ? 'S' : letterFor(meaning)) +
              ", but it stands over letter " + letter + " (" + described(letter) + ")";
    }
  }
  if (first.empty()) return {};
  return spec.name + ": line " + std::to_string(fileLine) + " names the columns: " + first +
         " of column format " + spec.columnFormat + ". Column format " + readsIt +
         " reads the columns as they are named.";
}

// A skipped line that a record would read whole: every used word a number, guessing in range
// (in a table of category intercepts, intercepts and guessing may be NA). Records whose length
// varies are not matched.
bool readsAsRecord(const std::vector<std::string>& words, const std::string& record) {
  if (words.size() != record.size() || fixedLetters(record) < record.size()) return false;
  const bool table = record.find_first_of("EQ") != std::string::npos;
  for (std::size_t i = 0; i < record.size(); ++i) {
    if (record[i] == 'X') continue;
    if (table && std::string_view("DNCGEQS").find(record[i]) != std::string_view::npos &&
        (words[i].empty() || words[i] == "NA"))
      continue;
    double value = 0.0;
    if (!parseDoubleToken(words[i], value) || !std::isfinite(value)) return false;
    if (record[i] == 'C' && !(value >= 0.0 && value < 1.0)) return false;
  }
  return true;
}

}  // namespace

SkippedLinesCheck checkSkippedLines(std::istream& in, const DataFileSpec& spec) {
  SkippedLinesCheck check;
  const std::string record = recordLetters(spec.columnFormat);
  if (record.empty() || spec.rowSkip.empty()) return check;
  std::vector<long long> skipped, lookAlikes;
  std::vector<long long> lookAlikeFileLines;
  std::vector<std::string> lastSkipped;
  long long lastSkippedFileLine = 0;
  long long counted = 0, fileLine = 0;
  for (std::string line; std::getline(in, line);) {
    ++fileLine;
    const std::vector<std::string> words = splitFields(line, spec.separator);
    if (words.empty()) continue;  // blank lines are not counted
    ++counted;
    if (rowIsSkipped(spec.rowSkip, counted) == 0) break;  // the first record
    skipped.push_back(counted);
    if (readsAsRecord(words, record)) {
      lookAlikes.push_back(counted);
      lookAlikeFileLines.push_back(fileLine);
    }
    lastSkipped = words;
    lastSkippedFileLine = fileLine;
    if (counted > 10000) break;  // a head this long is no header
  }
  if (!lastSkipped.empty()) {
    check.refusal = checkHeader(lastSkipped, record, spec, lastSkippedFileLine);
  }
  if (!lookAlikes.empty()) {
    std::vector<long long> kept;
    for (long long line : skipped) {
      if (std::find(lookAlikes.begin(), lookAlikes.end(), line) == lookAlikes.end()) {
        kept.push_back(line);
      }
    }
    const long long first = lookAlikes.front(), firstFile = lookAlikeFileLines.front();
    check.note = spec.name + ": line " + std::to_string(firstFile) +
                 (first != firstFile ? " (line " + std::to_string(first) +
                                           " as row-skip lists count: blank lines are not "
                                           "counted)"
                                     : std::string()) +
                 " is passed over by the row-skip list " + spec.rowSkip +
                 " but reads as a whole record of column format " + spec.columnFormat +
                 (lookAlikes.size() > 1
                      ? " (and " + std::to_string(lookAlikes.size() - 1) + " more such lines)"
                      : std::string()) +
                 ". If it is an item, the row-skip list " + rowSkipListOf(kept) + " reads it.";
  }
  return check;
}

SkippedLinesCheck checkSkippedLinesOfFile(const DataFileSpec& spec) {
  std::ifstream in;
  if (spec.rowSkip.empty() || !openTextFile(spec.name, in)) return {};
  try {
    return checkSkippedLines(in, spec);
  } catch (const std::ios_base::failure&) {
    return {};  // the reader reports the read error
  }
}
