#include "data/item_file.h"

#include <algorithm>
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
  return counts;
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
  return {};
}

bool makesIntercepts(const FormatCounts& f) { return f.b > 0 || f.d > 0; }

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
bool readsThetaOnly(const FormatCounts& f) { return f.t > 0 && f.a + f.b + f.c + f.d == 0; }

// The column (from 0) of the first field a letter of the record reads that is missing;
// record.size() when none is.
std::size_t firstMissing(const std::string& record, const std::vector<std::string>& fields) {
  for (std::size_t k = 0; k < record.size() && k < fields.size(); ++k) {
    if (record[k] != 'X' && isMissing(fields[k])) return k;
  }
  return record.size();
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

  const double scale = (scaleFlag != 0 && spec.fileType != 0) ? kNormalScale : 1.0;
  std::size_t slopeIndex = 0, interceptIndex = 0, guessIndex = 0;
  std::vector<double> negatedDifficulties;
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
  auto overflow = [&](long long line) {
    std::string why = "line " + std::to_string(line) + ": more records than the " +
                      std::to_string(expectedRecords(f, out)) + " expected";
    const std::string perLine = wordsPerLine();
    return refuse(perLine.empty() ? why + formatNote : why + "; " + perLine);
  };
  // Stores the value of one letter of a record; false (the result refused) when it cannot.
  auto takeValue = [&](char letter, const std::string& word, long long line) {
    const std::string at = "line " + std::to_string(line) + ": '" + word;
    double value = 0.0;
    if (!parseDoubleToken(word, value)) {
      refuseWord(at + "' is not a number" + formatNote);
      return false;
    }
    // G and N are a guessing parameter and an intercept written otherwise.
    char role = letter;
    if (letter == 'N') {
      value = -value;
      role = 'D';
    } else if (letter == 'G') {
      value = 1.0 / (1.0 + std::exp(-value));
      role = 'C';
    }
    if (role == 'A' || role == 'D') value *= scale;
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
        if (out.guessing.empty()) break;
        if (guessIndex >= out.guessing.size()) return overflow(line), false;
        out.guessing[guessIndex++] = value;
        break;
      case 'D':
        if (out.intercepts.empty()) break;
        if (interceptIndex >= out.intercepts.size()) return overflow(line), false;
        out.intercepts[interceptIndex++] = value;
        break;
    }
    return true;
  };
  // Completes a record whose last value stood on line: the intercept from difficulties.
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
      if (!out.intercepts.empty()) {
        if (interceptIndex >= out.intercepts.size()) return overflow(line), false;
        out.intercepts[interceptIndex++] = intercept;
      }
      negatedDifficulties.clear();
    }
    ++result.records;
    return true;
  };

  if (spec.recordsAreLines()) {
    // One record per line: fields past the format are ignored, too few are refused. A theta
    // line missing a value is passed over (R and pandas write NA or nothing for an examinee
    // without a score); an item line missing one is refused.
    const bool words = spec.separator == ' ';
    const std::string unit = words ? " words" : " fields";
    const std::size_t perRecord = f.record.size();
    LineReader lines(in);
    std::string text;
    long long skipNumber = 1;  // skip numbering: blank lines do not count
    long long longLine = 0, passedOver = 0, firstPassed = 0;
    std::size_t longCount = 0;
    while (lines.next(text)) {
      if (isBlankLine(text)) continue;
      if (rowIsSkipped(spec.rowSkip, skipNumber++)) continue;
      const long long line = lines.number();
      const std::vector<std::string> fields = splitFields(text, spec.separator);
      const std::string at = "line " + std::to_string(line);
      if (fields.size() < perRecord) {
        return refuse(at + " holds " + std::to_string(fields.size()) + unit + ", column format " +
                      spec.columnFormat + " reads " + std::to_string(perRecord) +
                      " per record (one record per line)");
      }
      if (fields.size() > perRecord && longLine == 0) {
        longLine = line;
        longCount = fields.size();
      }
      if (const std::size_t missing = firstMissing(f.record, fields); missing < perRecord) {
        if (readsThetaOnly(f)) {
          if (passedOver++ == 0) firstPassed = line;
          continue;
        }
        return refuse(at + ", column " + std::to_string(missing + 1) + ": " +
                      (fields[missing].empty() ? std::string("an empty field")
                                               : "'" + fields[missing] + "'") +
                      " where a value is read" + formatNote);
      }
      for (std::size_t k = 0; k < perRecord; ++k) {
        if (f.record[k] != 'X' && !takeValue(f.record[k], fields[k], line)) return result;
      }
      if (!finishRecord(line)) return result;
    }
    if (longLine != 0) {
      result.lineNote = spec.name + ": line " + std::to_string(longLine) + " holds " +
                        std::to_string(longCount) + unit + " where column format " +
                        spec.columnFormat + " reads " + std::to_string(perRecord) +
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
    std::string word;
    long long lastRecordLine = 0;  // line of the previous record's last word
    wordsPerLine = [&] {
      const int fewest = words.fewestWords(), most = words.mostWords();
      const std::string perRecord = std::to_string(f.record.size()) + " per record";
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
      for (char letter : f.record) {
        if (!words.word(word)) {
          return refuseWord("line " + std::to_string(words.wordLine()) +
                            ": the file ends inside a record" + formatNote);
        }
        if (firstWord && words.wordLine() == lastRecordLine) mismatches.note(lastRecordLine);
        firstWord = false;
        mismatches.count(words.wordLine(), words.wordsOnLine());
        if (letter == 'X') continue;
        if (!takeValue(letter, word, words.wordLine())) return result;
      }
      if (!finishRecord(words.wordLine())) return result;
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
          firstMissing(f.record, fields) == f.record.size()) {
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
