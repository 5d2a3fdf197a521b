// A column format counted letter by letter: what one record reads, whether the format can
// fill a reader's outputs, and how many records they were sized for.
#pragma once

#include <cstddef>
#include <string>

#include "data/item_file.h"

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

// The record a column format reads (see recordLetters) and its letters counted.
FormatCounts countFormat(const std::string& columnFormat);

// Why a format cannot fill the outputs; empty when it can.
std::string formatProblem(const FormatCounts& f, const ItemFileOutputs& out);

// Whether a format's records make an intercept: from B, D or N, or from table columns.
bool makesIntercepts(const FormatCounts& f);

// The number of records the outputs were sized for.
std::size_t expectedRecords(const FormatCounts& f, const ItemFileOutputs& out);

// A theta file: its format reads theta coordinates and nothing of an item.
bool readsThetaOnly(const FormatCounts& f);

// Whether a letter's field may be missing: in table records, intercepts and guessing come
// from one column or another.
bool mayBeMissing(const FormatCounts& f, char letter);
