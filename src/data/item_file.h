// Item parameter and empirical theta files, read by column format and row-skip list.
//
// A record is one pass over the column format (letters, case ignored):
//   A slope (scaled by 1.702 when asked)     B difficulty: the intercept is -(a1 b1 + ...)
//   C guessing parameter                     D intercept (scaled like A)
//   G guessing written as a logit x: g = 1 / (1 + exp(-x))
//   N intercept written negated: d = -x (scaled like A)
//   T theta coordinate (never scaled)        X a word that is discarded
// Values are whitespace-separated words; lines matter only for row skipping. When records
// are lines (a separator other than a blank, or oneRecordPerLine set), each line read is
// split by splitFields and holds one record: fields past the format are ignored (noted
// once), too few are refused, a used field that is NA or empty is refused in an item file
// and makes a theta file (letters T and X only) pass the line over (noted once). Slopes and
// thetas share one running index into the slope output. The outputs are caller-owned, and
// the reader never writes past them: a file that holds another number of records than they
// fit, a format that cannot fit them, and a word that is not a finite number are refused
// with a message naming the file, the line, the word or the format and the counts.
#pragma once

#include <cstdint>
#include <istream>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "data/item_categories.h"
#include "params/linking_settings.h"

// The factor that puts slopes and intercepts of the normal metric on the logistic one.
inline constexpr double kNormalScale = 1.702;

// Every letter a column format may hold; the reader stops at any other character.
inline constexpr std::string_view kColumnLetters = "ABCDGNTX";

// The letters one record reads: the format in capitals, up to its first character that is no
// column letter.
std::string recordLetters(std::string_view columnFormat);

struct ItemFileOutputs {
  std::span<double> slopes;      // records x slopes-per-record, or points x dimension
  std::span<double> intercepts;  // empty: not wanted
  std::span<double> guessing;    // empty: not wanted
  // For item files (intercepts wanted): the number of "A" the format must hold. 0: no check.
  int dimension = 0;
  // Not null: gets one entry per record read (kind, category count, intercepts d_2 ..), and
  // records of more than 2 categories are read. Null: such a record is refused.
  ItemCategories* categories = nullptr;
};

struct ItemFileResult {
  // 0 success; 1 the file cannot be opened ("No such file", text = file name);
  // 2 the file or its format is faulty (message says why).
  int code = 0;
  std::string message;
  long long records = 0;  // records read
  // Not empty when records start in the middle of a line (a word too many or too few on some
  // line, or records wrapped over lines): names the first such lines and their word counts.
  // When records are lines: names the first line that holds more than a record.
  std::string lineNote;
  // Not empty when theta lines were passed over for a missing value: how many, the first.
  std::string passedNote;
};

// Reads spec.name. scaleFlag non-zero with a non-zero spec.fileType scales A and D by 1.702.
ItemFileResult readItemFile(const DataFileSpec& spec, int scaleFlag, const ItemFileOutputs& out);

// The same from a stream; spec.name is used in messages only.
ItemFileResult readItemStream(std::istream& in, const DataFileSpec& spec, int scaleFlag,
                              const ItemFileOutputs& out);

// The records readItemFile will find in the named file: its lines that are neither blank nor
// skipped, less the theta lines it passes over. Empty when the file cannot be opened.
std::optional<std::int64_t> countRecordLinesOfFile(const DataFileSpec& spec);

// Why readItemStream refuses columnFormat before it reads a word, in its words ("column format
// QQ reads no value"), or an empty text when it takes the format. dimension > 0: an item file,
// which must hold that many "A".
std::string columnFormatProblem(const std::string& columnFormat, int dimension);
