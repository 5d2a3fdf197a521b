// The linking report: one block per linked pair, to the report file and the output window.
//
// The block names the pair's files and settings, then prints the criterion and the
// transformation (matrix row by row, then vector, as the pair's `reported` values) and, when
// non-zero, the conversion problem code. The file and the window receive the same values in
// two layouts (see the .cpp). The block is made from the pair's result record alone.
#pragma once

#include <atomic>
#include <string>

#include "run/pair_outcome.h"
#include "run/run_host.h"

// Where a block goes: the report file (none when path is empty), replaced by the block or
// appended to, and the host's output window.
struct ReportTarget {
  std::string path;
  bool replace = false;
  RunHost* host = nullptr;
  std::atomic<int>* failures = nullptr;  // counts the blocks the file did not take
};

// Writes one block. A report file that cannot be written shows its path under the caption
// "Can't open output file"; the output window still receives the block. A replaced file is
// written to a temporary file and renamed.
void writeReportBlock(const PairOutcome& pair, const ReportTarget& target);

// The two layouts, for one block.
std::string formatReportFileBlock(const PairOutcome& pair);
std::string formatReportWindowBlock(const PairOutcome& pair);

// The part of a path after its last "/" or "\" (the whole text when there is none after the
// first character).
std::string reportBaseName(const std::string& path);
