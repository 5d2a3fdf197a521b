#include "data/item_file.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <functional>
#include <vector>

#include "data/column_format.h"
#include "data/field_splitter.h"
#include "data/record_values.h"
#include "data/row_skip.h"
#include "data/text_readers.h"
#include "params/text_file.h"
#include "params/token_reader.h"

using torvak_records::Cell;
using torvak_records::countOf;
using torvak_records::countText;
using torvak_records::isMissing;
using torvak_records::kindName;
using torvak_records::missingText;
using torvak_records::Model;
using torvak_records::modelOf;
using torvak_records::placeOf;
using torvak_records::Record;
using torvak_records::Word;
using torvak_text::isBlankLine;
using torvak_text::LineMismatches;
using torvak_text::LineReader;
using torvak_text::WordReader;

namespace {

// The column (from 0) of the first field a letter of the record reads that is missing where
// a value is needed; record.size() when none is.
std::size_t firstMissing(const FormatCounts& f, const std::vector<std::string>& fields) {
  const std::string& record = f.record;
  for (std::size_t k = 0; k < record.size() && k < fields.size(); ++k) {
    if (record[k] != 'X' && !mayBeMissing(f, record[k]) && isMissing(fields[k])) return k;
  }
  return record.size();
}

}  // namespace

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
        refuseWord("line " + std::to_string(countWord.line) + ": " + countText(f.record, record) +
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
           " for this item (" + countText(f.record, record) + "; one record per line)");
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
