// Data-file formats as the dialog sees them: which predefined formats suit a file, and whether
// the readers of a run take a stored format.
//
// Letters are counted as the item-file reader counts them (A slope, B difficulty, C guessing,
// D intercept, T theta coordinate, X a word passed over, and the item letters of polytomous
// records, see item_file.h). An item file (From, To) fits a
// format that the reader takes for dimension d: exactly d "A" and no "T". An empirical theta
// file fits a format of d "T" and no item letter. Dimension 0 (none chosen) leaves the count
// of "A" or "T" open.
#pragma once

#include <string>

bool formatFits(const std::string& columnFormat, bool thetaFile, int dimension);

// Why a run's readers would refuse or misread a stored format (row-skip text with or without
// braces, column format; dimension > 0 for an item file), in the readers' words; empty when
// they take it. A letter that is no column letter is refused too: the reader stops at it.
std::string dataFormatProblem(const std::string& rowSkip, const std::string& columnFormat,
                              int dimension);
