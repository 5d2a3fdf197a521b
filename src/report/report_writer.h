// The linking report: one block per linked pair, to the report file and the output window.
//
// The block names the pair's files and settings, then prints the criterion and the
// transformation (matrix row by row, then vector) and, when non-zero, the conversion problem
// code. The file and the window receive the same values in two layouts (see the .cpp). The
// first block of a run replaces the report file when Output_File_Type is not 0 (written to a
// temporary file and renamed); every later block of the run is appended.
#pragma once

#include <string>

#include "linking/run_settings.h"

// Writes one block. A report file that cannot be written shows its path under the caption
// "Can't open output file"; the output window still receives the block.
void writeReportBlock(RunSettings& s, double criterion, const double* block);

// The two layouts, for one block.
std::string formatReportFileBlock(const RunSettings& s, double criterion, const double* block);
std::string formatReportWindowBlock(const RunSettings& s, double criterion, const double* block);

// The part of a path after its last "/" or "\" (the whole text when there is none after the
// first character).
std::string reportBaseName(const std::string& path);
