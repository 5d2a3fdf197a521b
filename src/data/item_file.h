// Item parameter and empirical theta files, read by column format and row-skip list.
//
// A record is one pass over the column format (letters, case ignored):
//   A slope (scaled by 1.702 when asked)     B difficulty: the intercept is -(a1 b1 + ...)
//   C guessing parameter                     D intercept (scaled like A)
//   G guessing written as a logit x: g = 1 / (1 + exp(-x))
//   N intercept written negated: d = -x (scaled like A)
//   T theta coordinate (never scaled)        X a word that is discarded
// Polytomous items (see item_categories.h) add:
//   K category count m of a graded item (2 to 20): D or N reads d_1, R the rest
//   P the same for a partial credit item
//   R m - 2 words d_2 .. d_(m-1) (negated with N, scaled like D), after the record's K, P, M
//   M item model: 1 or 3PL (C or G reads its word; m must be 2), 2 or graded (C and G read
//     no word), 2PL (m 2, no guessing word), gpcm (partial credit, no guessing word); K then
//     gives the count whatever the model
//   E one graded category intercept of a table column: the record's E fields hold d_1 ..
//     d_(m-1), NA (or empty) past the item's last; m is 1 + the values present
//   Q the same for a partial credit item
//   S a column with a value for partial credit items and NA for graded ones: with a value,
//     the record's E intercepts are partial credit ones
// In a record with E or Q fields, D, N, C, G and S may be NA (empty): the intercepts come
// from D or N (a dichotomous item, every E or Q missing) or from E or Q (D or N missing); a
// missing guessing parameter is 0, and a polytomous item may have none.
// Values are whitespace-separated words; lines matter only for row skipping. When records
// are lines (a separator other than a blank, or oneRecordPerLine set), each line read is
// split by splitFields and holds one record, read field after field: fields past the record
// are ignored (noted once), too few are refused, a used field that is NA or empty (where the
// letter needs a value) is refused in an item file and makes a theta file (letters T and X
// only) pass the line over (noted once). Slopes and thetas share one running index into the
// slope output. The outputs are caller-owned, and the reader never writes past them: a file
// that holds another number of records than they fit, a format that cannot fit them, and a
// word that is not a finite number are refused with a message naming the file, the line, the
// word or the format and the counts. So is a category count or model word that is none, a
// graded item whose intercepts do not decrease, and a record of more than 2 categories when
// the caller takes dichotomous items only.
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
inline constexpr std::string_view kColumnLetters = "ABCDEGKMNPQRSTX";

// The letters one record reads: the format in capitals, up to its first character that is no
// column letter.
std::string recordLetters(std::string_view columnFormat);

struct ItemFileOutputs {
  std::span<double> slopes;      // records x slopes-per-record, or points x dimension
  std::span<double> intercepts;  // empty: not wanted
  std::span<double> guessing;    // empty: not wanted
  // For item files (intercepts wanted): the number of "A" the format must hold. 0: no check.
  int dimension = 0;
  // Not null: cleared, then gets one entry per record read (kind, category count, intercepts
  // d_2 ..), and records of more than 2 categories are read. Null: such a record is refused.
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
// ZZ reads no value"), or an empty text when it takes the format. dimension > 0: an item file,
// which must hold that many "A".
std::string columnFormatProblem(const std::string& columnFormat, int dimension);
