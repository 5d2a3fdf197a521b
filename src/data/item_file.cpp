#include "data/item_file.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <functional>
#include <vector>

#include "data/field_splitter.h"
#include "data/row_skip.h"
#include "params/text_file.h"
#include "params/token_reader.h"

namespace {


bool isBlank(int c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

// Whitespace-separated words with the physical line of each, plus whole-line skipping.
class WordReader {
 public:
  explicit WordReader(std::istream& in) : buf_(in.rdbuf()) {}

  bool atEnd() const { return buf_ == nullptr || buf_->sgetc() == Traits::eof(); }

  // Skips white space; false when nothing else remains.
  bool skipBlank() {
    if (buf_ == nullptr) return false;
    int c = buf_->sgetc();
    while (c != Traits::eof() && isBlank(c)) {
      if (c == '\n') ++line_;
      c = buf_->snextc();
    }
    return c != Traits::eof();
  }

  bool word(std::string& text) {
    if (!skipBlank()) return false;
    text.clear();
    if (line_ != wordLine_) endLineOfWords();
    wordLine_ = line_;
    ++wordsOnLine_;
    for (int c = buf_->sgetc(); c != Traits::eof() && !isBlank(c); c = buf_->snextc()) {
      text.push_back(Traits::to_char_type(c));
    }
    return true;
  }

  // Reads up to and including the next line end; whether any character was not white space.
  bool restOfLine() {
    bool text = false;
    for (int c = buf_->sbumpc(); c != Traits::eof(); c = buf_->sbumpc()) {
      if (c == '\n') {
        ++line_;
        break;
      }
      if (!isBlank(c)) text = true;
    }
    return text;
  }

  // Physical line (from 1) of the last word read.
  long long wordLine() const { return wordLine_; }
  // Words read so far on the line of the last word.
  int wordsOnLine() const { return wordsOnLine_; }

  // Fewest and most words on the lines read to their end (the line in work while none is).
  int fewestWords() const { return most_ > 0 ? fewest_ : wordsOnLine_; }
  int mostWords() const { return most_ > 0 ? most_ : wordsOnLine_; }

 private:
  using Traits = std::streambuf::traits_type;

  void endLineOfWords() {
    if (wordsOnLine_ == 0) return;
    fewest_ = most_ == 0 ? wordsOnLine_ : std::min(fewest_, wordsOnLine_);
    most_ = std::max(most_, wordsOnLine_);
    wordsOnLine_ = 0;
  }

  std::streambuf* buf_;
  long long line_ = 1;
  long long wordLine_ = 1;
  int wordsOnLine_ = 0;
  int fewest_ = 0;
  int most_ = 0;
};

// Up to three lines where records and lines part ways, with the words each holds.
class LineMismatches {
 public:
  static constexpr std::size_t kMost = 3;

  // Notes line as a place where a record starts mid-line (its count is completed later).
  void note(long long line) {
    if (!lines_.empty() && lines_.back().first == line) return;
    if (lines_.size() < kMost) lines_.push_back({line, 0});
  }
  // Called after every word: keeps the count of a noted line up to date. Lines are noted in
  // reading order, so only the last one can be the line being read.
  void count(long long line, int wordsOnLine) {
    if (!lines_.empty() && lines_.back().first == line) lines_.back().second = wordsOnLine;
  }
  bool empty() const { return lines_.empty(); }
  long long firstLine() const { return lines_.empty() ? 0 : lines_.front().first; }
  // "line 7 holds 6 words, line 9 holds 4"
  std::string text() const {
    std::string out;
    for (const auto& [line, words] : lines_) {
      out += (out.empty() ? "line " : ", line ") + std::to_string(line) + " holds " +
             std::to_string(words) + (out.empty() ? " words" : "");
    }
    return out;
  }

 private:
  std::vector<std::pair<long long, int>> lines_;
};

struct FormatCounts {
  std::string record;  // the letters one record reads (the format up to its first other one)
  int a = 0, b = 0, c = 0, d = 0, t = 0;
  int k = 0, p = 0, r = 0, m = 0, e = 0, q = 0, s = 0;
  // The last K, P or M: once it is read, the record's length is known.
  std::size_t lastCount = std::string::npos;
  // Words a record reads at the least: every letter but R, and but C or G after an M.
  std::size_t fewest = 0;
  bool negated = false;  // the first intercept is read by N: R is written negated too

  // Records whose length depends on their words (R, M).
  bool variable() const { return r + m > 0; }
  // Records of table columns, where intercepts and guessing may be missing (E, Q).
  bool table() const { return e + q > 0; }
  bool polytomous() const { return k + p + m + e + q > 0; }
};

FormatCounts countFormat(const std::string& columnFormat) {
  FormatCounts counts;
  counts.record = recordLetters(columnFormat);
  auto count = [&](char letter) {
    return static_cast<int>(std::ranges::count(counts.record, letter));
  };
  counts.a = count('A');
  counts.b = count('B');
  counts.c = count('C') + count('G');  // guessing, as written or as a logit
  counts.d = count('D') + count('N');  // intercept, as written or negated
  counts.t = count('T');
  counts.k = count('K');
  counts.p = count('P');
  counts.r = count('R');
  counts.m = count('M');
  counts.e = count('E');
  counts.q = count('Q');
  counts.s = count('S');
  counts.lastCount = counts.record.find_last_of("KPM");
  counts.fewest = counts.record.size() - static_cast<std::size_t>(counts.r) -
                  static_cast<std::size_t>(counts.m > 0 ? counts.c : 0);
  counts.negated = count('N') > 0;
  return counts;
}

// Why the polytomous letters of a format cannot make records; empty when they can.
std::string polytomousProblem(const FormatCounts& f) {
  const std::string& record = f.record;
  const auto has = [&](char letter) { return record.find(letter) != std::string::npos; };
  const std::string count = f.k > 0 ? "K" : "P";
  const std::string guess = has('C') ? "C" : "G";
  if (f.k > 0 && f.p > 0) return "has both K and P";
  if (f.k > 1) return "has more than one K";
  if (f.p > 1) return "has more than one P";
  if (f.m > 1) return "has more than one M";
  if (f.r > 1) return "has more than one R";
  if (f.e > 0 && f.q > 0) return "has both E and Q";
  if (f.s > 1) return "has more than one S";
  if (f.table() && f.k + f.p + f.m + f.r > 0) {
    const std::size_t other = record.find_first_of("KPMR");
    return std::string("has both ") + (f.e > 0 ? "E" : "Q") + " and " + record[other] +
           " (table columns or a count, not both)";
  }
  if (f.s > 0 && f.e == 0) return "has S without E";
  if (f.e + f.q > kMostCategories - 1) {
    return std::string("has more than ") + std::to_string(kMostCategories - 1) + " " +
           (f.e > 0 ? "E" : "Q");
  }
  if (f.b > 0 && f.polytomous()) {
    return std::string("has both B and ") + record[record.find_first_of("KPMEQ")] +
           " (difficulties are read for dichotomous items only)";
  }
  if (f.m > 0 && f.p > 0) return "has both M and P (with M, K gives the category count)";
  if (f.m > 0 && f.k == 0) return "has M without K (the category count)";
  if (f.r > 0 && f.k + f.p == 0) return "has R without K or P (the category count)";
  if (f.k + f.p > 0 && f.r == 0) return "has " + count + " without R (the intercepts after d1)";
  if (f.r > 0 && record.find('R') < f.lastCount) {
    return std::string("has R before ") + record[f.lastCount];
  }
  if (f.m > 0 && f.c > 0 && record.find_first_of("CG") < record.find('M')) {
    return "has " + guess + " before M (M tells whether the record holds a guessing word)";
  }
  if (f.k + f.p > 0 && f.d == 0) return "has " + count + " without D or N (the first intercept)";
  if (f.k + f.p > 0 && f.m == 0 && f.c > 0) {
    return "has both " + count + " and " + guess +
           " (graded and partial credit items have no guessing parameter; M tells 3PL items "
           "apart)";
  }
  return {};
}

// Why a format cannot fill the outputs; empty when it can.
std::string formatProblem(const FormatCounts& f, const ItemFileOutputs& out) {
  if (f.record.empty()) return "reads no value";
  if (f.c > 1) return "has more than one C";
  if (f.d > 1) return "has more than one D";
  if (f.b > 0 && f.d > 0) return "has both B and D";
  if (f.b > f.a) return "has more B than A";
  if (out.dimension > 0 && f.a != out.dimension) {
    return "has " + std::to_string(f.a) + " A for dimension " + std::to_string(out.dimension);
  }
  return polytomousProblem(f);
}

bool makesIntercepts(const FormatCounts& f) { return f.b > 0 || f.d > 0 || f.table(); }

// The number of records the outputs were sized for.
std::size_t expectedRecords(const FormatCounts& f, const ItemFileOutputs& out) {
  if (f.a + f.t > 0) return out.slopes.size() / static_cast<std::size_t>(f.a + f.t);
  if (makesIntercepts(f) && !out.intercepts.empty()) return out.intercepts.size();
  if (f.c > 0 && !out.guessing.empty()) return out.guessing.size();
  return 0;
}

// Lines of a stream with their physical numbers (from 1), CR LF read like LF.
class LineReader {
 public:
  explicit LineReader(std::istream& in) : buf_(in.rdbuf()) {}

  // The next line without its line end; false at the end of the stream.
  bool next(std::string& text) {
    using Traits = std::streambuf::traits_type;
    text.clear();
    if (buf_ == nullptr || buf_->sgetc() == Traits::eof()) return false;
    ++number_;
    for (int c = buf_->sbumpc(); c != Traits::eof() && c != '\n'; c = buf_->sbumpc()) {
      text.push_back(Traits::to_char_type(c));
    }
    if (!text.empty() && text.back() == '\r') text.pop_back();
    return true;
  }
  long long number() const { return number_; }

 private:
  std::streambuf* buf_;
  long long number_ = 0;
};

bool isBlankLine(std::string_view text) { return std::ranges::all_of(text, isBlank); }

// R writes a missing value as NA, pandas as an empty field.
bool isMissing(const std::string& field) { return field.empty() || field == "NA"; }

// A theta file: its format reads theta coordinates and nothing of an item.
bool readsThetaOnly(const FormatCounts& f) {
  return f.t > 0 && f.a + f.b + f.c + f.d + f.k + f.p + f.r + f.m + f.e + f.q + f.s == 0;
}

// Whether a letter's field may be missing: in table records, intercepts and guessing come
// from one column or another.
bool mayBeMissing(const FormatCounts& f, char letter) {
  return f.table() && std::string_view("DNCGEQS").find(letter) != std::string_view::npos;
}

// The column (from 0) of the first field a letter of the record reads that is missing where
// a value is needed; record.size() when none is.
std::size_t firstMissing(const FormatCounts& f, const std::vector<std::string>& fields) {
  const std::string& record = f.record;
  for (std::size_t k = 0; k < record.size() && k < fields.size(); ++k) {
    if (record[k] != 'X' && !mayBeMissing(f, record[k]) && isMissing(fields[k])) return k;
  }
  return record.size();
}

// "an empty field" or "'NA'"
std::string missingText(const std::string& field) {
  return field.empty() ? std::string("an empty field") : "'" + field + "'";
}

enum class Model : std::uint8_t { None, ThreePL, TwoPL, Graded, PartialCredit };

// An item model word as flexMIRT and IRTPRO write it, or by name; None for another word.
Model modelOf(const std::string& word) {
  std::string name = word;
  for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (name == "1" || name == "3pl") return Model::ThreePL;
  if (name == "2" || name == "graded") return Model::Graded;
  if (name == "2pl") return Model::TwoPL;
  if (name == "gpcm") return Model::PartialCredit;
  return Model::None;
}

// A category count: a whole number from 2 to kMostCategories, in digits only.
bool countOf(const std::string& word, int& count) {
  if (word.empty() || word.size() > 3 || word.find_first_not_of("0123456789") != std::string::npos)
    return false;
  count = std::stoi(word);
  return count >= 2 && count <= kMostCategories;
}

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

const char* kindName(ItemKind kind) {
  return kind == ItemKind::PartialCredit ? "partial credit" : "graded";
}

}  // namespace

std::string recordLetters(std::string_view columnFormat) {
  std::string record;
  for (char letter : columnFormat) {
    if (letter >= 'a' && letter <= 'z') letter = static_cast<char>(letter - 'a' + 'A');
    if (kColumnLetters.find(letter) == std::string_view::npos) break;
    record.push_back(letter);
  }
  return record;
}

ItemFileResult readItemStream(std::istream& in, const DataFileSpec& spec, int scaleFlag,
                              const ItemFileOutputs& out) {
  ItemFileResult result;
  const FormatCounts f = countFormat(spec.columnFormat);
  const std::string formatNote = " (column format " + spec.columnFormat + ")";
  auto refuse = [&](const std::string& why) {
    result.code = 2;
    result.message = spec.name + ": " + why;
    return result;
  };
  if (std::string problem = formatProblem(f, out); !problem.empty()) {
    return refuse("column format " + spec.columnFormat + " " + problem);
  }
  if (out.categories != nullptr) out.categories->clear();

  const double scale = (scaleFlag != 0 && spec.fileType != 0) ? kNormalScale : 1.0;
  std::size_t slopeIndex = 0, interceptIndex = 0, guessIndex = 0;
  std::vector<double> negatedDifficulties;
  Record record;
  LineMismatches mismatches;
  // Filled by the word-by-word reading; says how its words and lines compare.
  std::function<std::string()> wordsPerLine = [] { return std::string(); };
  // A word that fails after records and lines went out of step: the cause is usually there,
  // above the failing line, so the message names both.
  auto refuseWord = [&](const std::string& why) {
    if (mismatches.empty()) return refuse(why);
    return refuse(why + "; records and lines went out of step first at line " +
                  std::to_string(mismatches.firstLine()) + " (" + wordsPerLine() + ")");
  };
  // "line 7" or, when records are lines, "line 7, column 4".
  auto placeOf = [](const Word& word) {
    return "line " + std::to_string(word.line) +
           (word.column > 0 ? ", column " + std::to_string(word.column) : std::string());
  };
  auto overflow = [&](long long line) {
    std::string why = "line " + std::to_string(line) + ": more records than the " +
                      std::to_string(expectedRecords(f, out)) + " expected";
    const std::string perLine = wordsPerLine();
    return refuse(perLine.empty() ? why + formatNote : why + "; " + perLine);
  };
  // Stores the value of one word of a record; false (the result refused) when it cannot.
  auto takeValue = [&](char letter, const Word& word) {
    const long long line = word.line;
    const std::string at = "line " + std::to_string(line) + ": '" + word.text;
    if (letter == 'K' || letter == 'P') {
      if (!countOf(word.text, record.count)) {
        refuseWord(at + "' is not a category count (a whole number from 2 to " +
                   std::to_string(kMostCategories) + ")" + formatNote);
        return false;
      }
      record.countWord = word;
      record.countWords.push_back(word);
      return true;
    }
    if (letter == 'M') {
      record.model = modelOf(word.text);
      if (record.model == Model::None) {
        refuseWord(at + "' is not an item model (1 or 3PL, 2 or graded, 2PL, gpcm)" +
                   formatNote);
        return false;
      }
      record.countWords.push_back(word);
      return true;
    }
    if (isMissing(word.text) && (mayBeMissing(f, letter) || word.column > 0)) {
      if (!mayBeMissing(f, letter)) {
        refuse(placeOf(word) + ": " + missingText(word.text) + " where a value is read" +
               formatNote);
        return false;
      }
      if (letter == 'E' || letter == 'Q') record.table.push_back({false, 0.0, word});
      if (letter == 'D' || letter == 'N') record.intercept = {false, 0.0, word};
      if (letter == 'C' || letter == 'G') record.guess = {false, 0.0, word};
      return true;
    }
    double value = 0.0;
    if (!parseDoubleToken(word.text, value)) {
      refuseWord(at + "' is not a number" + formatNote);
      return false;
    }
    // G and N are a guessing parameter and an intercept written otherwise; a record whose
    // first intercept is negated has the rest negated too.
    char role = letter;
    if (letter == 'N' || (letter == 'R' && f.negated)) {
      value = -value;
      role = letter == 'N' ? 'D' : 'R';
    } else if (letter == 'G') {
      value = 1.0 / (1.0 + std::exp(-value));
      role = 'C';
    }
    if (std::string_view("ADREQ").find(role) != std::string_view::npos) value *= scale;
    if (!std::isfinite(value)) {
      refuseWord(at + "' is out of range once scaled" + formatNote);
      return false;
    }
    switch (role) {
      case 'A':
      case 'T':
        if (slopeIndex >= out.slopes.size()) return overflow(line), false;
        out.slopes[slopeIndex++] = value;
        break;
      case 'B':
        negatedDifficulties.push_back(-value);
        break;
      case 'C':
        // A lower asymptote is a probability below 1; anything else is a header or a
        // wrong column.
        if (!(value >= 0.0 && value < 1.0)) {
          const std::string why =
              letter == 'G' ? "' is not the logit of a guessing parameter (it makes g = 1)"
                            : "' is not a guessing parameter (it must be at least 0 and below 1)";
          refuseWord(at + why + formatNote);
          return false;
        }
        if (!out.guessing.empty() && guessIndex >= out.guessing.size()) {
          return overflow(line), false;
        }
        record.guess = {true, value, word};
        break;
      case 'D':
        if (!out.intercepts.empty() && interceptIndex >= out.intercepts.size()) {
          return overflow(line), false;
        }
        record.intercept = {true, value, word};
        break;
      case 'R':
        record.rest.push_back(value);
        record.restWords.push_back(word);
        break;
      case 'E':
      case 'Q':
        record.table.push_back({true, value, word});
        break;
      case 'S':
        record.partialCredit = true;
        break;
    }
    return true;
  };
  // "'4'" or "M '2', K '4'": the words that make a record's length and kind.
  auto countText = [&] {
    std::string text;
    for (std::size_t i = 0, w = 0; i < f.record.size() && w < record.countWords.size(); ++i) {
      if (std::string_view("KPM").find(f.record[i]) == std::string_view::npos) continue;
      text += (text.empty() ? "" : ", ") + std::string(1, f.record[i]) + " '" +
              record.countWords[w++].text + "'";
    }
    return text;
  };
  // Refuses an item of more than 2 categories when only dichotomous items are read.
  auto dichotomousOnly = [&](const Word& word, int count) {
    if (out.categories != nullptr || count <= 2) return true;
    refuseWord("line " + std::to_string(word.line) + ": '" + word.text + "': an item of " +
               std::to_string(count) + " categories where only dichotomous items are read" +
               formatNote);
    return false;
  };
  // Once a record's K, P and M are read: its kind, and (lines > 0, records are lines) whether
  // its line holds the words the rest of the record reads.
  auto settleCount = [&](std::size_t lines, const std::string& unit) {
    const Word& countWord = record.countWord;
    if (record.model == Model::ThreePL || record.model == Model::TwoPL) {
      if (record.count != 2) {
        refuseWord("line " + std::to_string(countWord.line) + ": " + countText() +
                   ": a " + (record.model == Model::ThreePL ? "3PL" : "2PL") +
                   " item has 2 categories" + formatNote);
        return false;
      }
      record.kind = ItemKind::Dichotomous;
    } else if (record.model == Model::PartialCredit || (f.m == 0 && f.p > 0)) {
      record.kind = ItemKind::PartialCredit;
    } else {
      record.kind = ItemKind::Graded;
    }
    if (!dichotomousOnly(countWord, record.count)) return false;
    if (lines == 0) return true;
    const std::size_t needed =
        f.fewest + static_cast<std::size_t>(f.r > 0 ? record.count - 2 : 0) +
        static_cast<std::size_t>(record.model == Model::ThreePL ? f.c : 0);
    if (lines >= needed) return true;
    refuse("line " + std::to_string(countWord.line) + " holds " + std::to_string(lines) + unit +
           ", column format " + spec.columnFormat + " reads " + std::to_string(needed) +
           " for this item (" + countText() + "; one record per line)");
    return false;
  };
  // The intercepts of a table record: from D or N, or from its E or Q fields.
  auto settleTable = [&] {
    const std::size_t present = static_cast<std::size_t>(std::ranges::count_if(
        record.table, [](const Cell& cell) { return cell.present; }));
    for (std::size_t k = 0; k < present; ++k) {
      if (record.table[k].present) continue;
      const Word& gap = record.table[k].word;
      refuseWord(placeOf(gap) + ": " + missingText(gap.text) + " for d" + std::to_string(k + 1) +
                 " before a value for a later one: an item's category intercepts have no gap" +
                 formatNote);
      return false;
    }
    if (present > 0 && record.intercept.present) {
      refuseWord(placeOf(record.intercept.word) + ": both an intercept ('" +
                 record.intercept.word.text + "') and category intercepts ('" +
                 record.table.front().word.text + "' ...) where an item has one or the other" +
                 formatNote);
      return false;
    }
    if (present == 0) {
      if (record.intercept.present) {
        record.count = 2;  // a dichotomous item
        return true;
      }
      const Word& none = f.d > 0 ? record.intercept.word : record.table.front().word;
      refuse(placeOf(none) + ": " + missingText(none.text) +
             " where a value is read (the item's intercept and category intercepts are all "
             "missing)" +
             formatNote);
      return false;
    }
    record.count = static_cast<int>(present) + 1;
    record.kind = f.q > 0 || record.partialCredit ? ItemKind::PartialCredit : ItemKind::Graded;
    record.intercept = record.table.front();
    for (std::size_t k = 1; k < present; ++k) {
      record.rest.push_back(record.table[k].value);
      record.restWords.push_back(record.table[k].word);
    }
    if (record.guess.present) {
      refuseWord(placeOf(record.guess.word) + ": '" + record.guess.word.text +
                 "' is a guessing parameter of a " + kindName(record.kind) + " item of " +
                 std::to_string(record.count) + " categories, which has none" + formatNote);
      return false;
    }
    return dichotomousOnly(record.table[present - 1].word, record.count);
  };
  // Completes a record whose last value stood on line: the intercept from difficulties, the
  // item's categories, the values written to the outputs.
  auto finishRecord = [&](long long line) {
    if (f.b > 0) {
      // d = -(a1 b1 + ... + ab bb) over the record's last b slopes, already scaled.
      double intercept = 0.0;
      const std::size_t first = slopeIndex - static_cast<std::size_t>(f.b);
      for (int k = 0; k < f.b; ++k) {
        intercept += negatedDifficulties[k] * out.slopes[first + k];
      }
      if (!std::isfinite(intercept)) {
        refuse("line " + std::to_string(line) +
               ": the intercept from the difficulties is out of range" + formatNote);
        return false;
      }
      record.intercept = {true, intercept, {}};
      negatedDifficulties.clear();
    }
    if (f.table() && !settleTable()) return false;
    if (f.k + f.p == 0 && !f.table()) record.count = 2;
    const std::string order = interceptOrderProblem(record.kind, record.count,
                                                    record.intercept.value, record.rest.data());
    if (!order.empty()) {
      // The first intercept that is not below the one before it.
      std::size_t k = 0;
      double previous = record.intercept.value;
      while (k + 1 < record.rest.size() && record.rest[k] < previous) previous = record.rest[k++];
      const Word& word = record.restWords[k];
      refuseWord("line " + std::to_string(word.line) + ": '" + word.text + "': " + order +
                 formatNote);
      return false;
    }
    if (makesIntercepts(f) && !out.intercepts.empty()) {
      if (interceptIndex >= out.intercepts.size()) return overflow(line), false;
      out.intercepts[interceptIndex++] = record.intercept.value;
    }
    if (f.c > 0 && !out.guessing.empty()) {
      if (guessIndex >= out.guessing.size()) return overflow(line), false;
      out.guessing[guessIndex++] = record.guess.present ? record.guess.value : 0.0;
    }
    if (out.categories != nullptr) {
      out.categories->add(record.kind, record.count, record.rest.data());
    }
    ++result.records;
    return true;
  };
  // Reads one record from nextWord (false: no word, the result refused); lines > 0 when
  // records are lines.
  auto readRecord = [&](auto&& nextWord, std::size_t lines, const std::string& unit) {
    record.clear();
    for (std::size_t i = 0; i < f.record.size(); ++i) {
      const char letter = f.record[i];
      int words = 1;
      if (letter == 'R') {
        words = record.count - 2;
      } else if ((letter == 'C' || letter == 'G') && f.m > 0 && record.model != Model::ThreePL) {
        words = 0;  // a graded, 2PL or partial credit item has no guessing word
      }
      for (int w = 0; w < words; ++w) {
        Word word;
        if (!nextWord(word)) return false;
        record.lastLine = word.line;
        if (letter != 'X' && !takeValue(letter, word)) return false;
      }
      if (i == f.lastCount && !settleCount(lines, unit)) return false;
    }
    return finishRecord(record.lastLine);
  };

  if (spec.recordsAreLines()) {
    // One record per line: fields past the record are ignored, too few are refused. A theta
    // line missing a value is passed over (R and pandas write NA or nothing for an examinee
    // without a score); an item line missing one is refused.
    const bool words = spec.separator == ' ';
    const std::string unit = words ? " words" : " fields";
    const std::size_t perRecord = f.record.size();
    LineReader lines(in);
    std::string text;
    long long skipNumber = 1;  // skip numbering: blank lines do not count
    long long longLine = 0, passedOver = 0, firstPassed = 0;
    std::size_t longCount = 0, longRead = 0;
    while (lines.next(text)) {
      if (isBlankLine(text)) continue;
      if (rowIsSkipped(spec.rowSkip, skipNumber++)) continue;
      const long long line = lines.number();
      const std::vector<std::string> fields = splitFields(text, spec.separator);
      const std::string at = "line " + std::to_string(line);
      if (fields.size() < f.fewest) {
        return refuse(at + " holds " + std::to_string(fields.size()) + unit + ", column format " +
                      spec.columnFormat + " reads " + (f.variable() ? "at least " : "") +
                      std::to_string(f.fewest) + " per record (one record per line)");
      }
      if (!f.variable()) {
        // Letters and fields pair by position: a missing value is seen before any is read.
        if (fields.size() > perRecord && longLine == 0) {
          longLine = line;
          longCount = fields.size();
          longRead = perRecord;
        }
        if (const std::size_t missing = firstMissing(f, fields); missing < perRecord) {
          if (readsThetaOnly(f)) {
            if (passedOver++ == 0) firstPassed = line;
            continue;
          }
          return refuse(at + ", column " + std::to_string(missing + 1) + ": " +
                        missingText(fields[missing]) + " where a value is read" + formatNote);
        }
      }
      std::size_t cursor = 0;
      auto nextField = [&](Word& word) {
        if (cursor >= fields.size()) {
          refuse(at + " holds " + std::to_string(fields.size()) + unit + ", column format " +
                 spec.columnFormat + " reads more for this item (one record per line)");
          return false;
        }
        word = {fields[cursor], line, cursor + 1};
        ++cursor;
        return true;
      };
      if (!readRecord(nextField, fields.size(), unit)) return result;
      if (f.variable() && fields.size() > cursor && longLine == 0) {
        longLine = line;
        longCount = fields.size();
        longRead = cursor;
      }
    }
    if (longLine != 0) {
      result.lineNote = spec.name + ": line " + std::to_string(longLine) + " holds " +
                        std::to_string(longCount) + unit + " where column format " +
                        spec.columnFormat + " reads " + std::to_string(longRead) +
                        "; what is left at the end of such lines is ignored.";
    }
    if (passedOver > 0) {
      result.passedNote = spec.name + ": " + std::to_string(passedOver) +
                          (passedOver == 1 ? " line was" : " lines were") +
                          " passed over for a missing value (NA or an empty field), the first "
                          "of them line " +
                          std::to_string(firstPassed) + ".";
    }
  } else {
    WordReader words(in);
    long long lineNumber = 1;  // skip numbering: blank lines do not count
    long long lastRecordLine = 0;  // line of the previous record's last word
    wordsPerLine = [&] {
      const int fewest = words.fewestWords(), most = words.mostWords();
      const std::string perRecord = (f.variable() ? "at least " : "") +
                                    std::to_string(f.fewest) + " per record";
      if (!mismatches.empty()) {
        return mismatches.text() + " where column format " + spec.columnFormat + " reads " +
               perRecord;
      }
      return (fewest == most ? "every line holds " + std::to_string(most) + " words"
                             : "lines hold " + std::to_string(fewest) + " to " +
                                   std::to_string(most) + " words") +
             ", column format " + spec.columnFormat + " reads " + perRecord;
    };
    while (!words.atEnd()) {
      if (rowIsSkipped(spec.rowSkip, lineNumber)) {
        if (words.restOfLine()) ++lineNumber;
        continue;
      }
      if (!words.skipBlank()) break;  // only white space is left: no further record
      bool firstWord = true;
      auto nextWord = [&](Word& word) {
        if (!words.word(word.text)) {
          refuseWord("line " + std::to_string(words.wordLine()) +
                     ": the file ends inside a record" + formatNote);
          return false;
        }
        if (firstWord && words.wordLine() == lastRecordLine) mismatches.note(lastRecordLine);
        firstWord = false;
        mismatches.count(words.wordLine(), words.wordsOnLine());
        word.line = words.wordLine();
        word.column = 0;
        return true;
      };
      if (!readRecord(nextWord, 0, " words")) return result;
      lastRecordLine = words.wordLine();
      ++lineNumber;
    }
    if (!mismatches.empty()) {
      result.lineNote = spec.name + ": records and lines do not match: " + wordsPerLine() +
                        ". Some programs wrap records over lines; if this file does not, a "
                        "word too many or too few on a line moves every later value into "
                        "another item or column.";
    }
  }

  const std::string counts = std::to_string(result.records) + " records, " +
                             std::to_string(expectedRecords(f, out)) + " expected" + formatNote;
  if (slopeIndex != out.slopes.size()) return refuse(counts);
  if (makesIntercepts(f) && !out.intercepts.empty() && interceptIndex != out.intercepts.size()) {
    return refuse(counts);
  }
  if (f.c > 0 && !out.guessing.empty() && guessIndex != out.guessing.size()) {
    return refuse(counts);
  }
  if (f.c == 0) {
    for (double& g : out.guessing) g = 0.0;
  }
  return result;
}

ItemFileResult readItemFile(const DataFileSpec& spec, int scaleFlag, const ItemFileOutputs& out) {
  std::ifstream in;
  ItemFileResult result;
  if (!openTextFile(spec.name, in)) {
    result.code = 1;
    result.message = spec.name;
    return result;
  }
  try {
    return readItemStream(in, spec, scaleFlag, out);
  } catch (const std::ios_base::failure&) {
    result.code = 2;
    result.message = spec.name + ": the file could not be read to its end (read error)";
    return result;
  }
}

std::optional<std::int64_t> countRecordLinesOfFile(const DataFileSpec& spec) {
  std::ifstream in;
  if (!openTextFile(spec.name, in)) return std::nullopt;
  const FormatCounts f = countFormat(spec.columnFormat);
  const bool passesOver = spec.recordsAreLines() && readsThetaOnly(f);
  try {
    LineReader lines(in);
    std::string text;
    long long skipNumber = 1;
    std::int64_t records = 0;
    while (lines.next(text)) {
      if (isBlankLine(text) || rowIsSkipped(spec.rowSkip, skipNumber++)) continue;
      const std::vector<std::string> fields =
          passesOver ? splitFields(text, spec.separator) : std::vector<std::string>();
      if (!passesOver || fields.size() < f.record.size() ||
          firstMissing(f, fields) == f.record.size()) {
        ++records;
      }
    }
    return records;
  } catch (const std::ios_base::failure&) {
    return std::nullopt;  // a read error: as a file that cannot be opened
  }
}

std::string columnFormatProblem(const std::string& columnFormat, int dimension) {
  ItemFileOutputs out;
  out.dimension = dimension;
  const std::string problem = formatProblem(countFormat(columnFormat), out);
  return problem.empty() ? problem : "column format " + columnFormat + " " + problem;
}
