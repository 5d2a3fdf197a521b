// torvak --plots RESULTS.json --out FOLDER: every chart of every linked pair of a results
// document, as PNG and SVG files, without a window.
//
// The folder is made when missing. Each file written is named on out, one per line; messages
// go to err as "torvak: ...". Needs a QApplication (the offscreen platform serves).
#pragma once

#include <QString>
#include <cstdio>

inline constexpr int kPlotsInputFailed = 66;   // the document cannot be read, or is no results
inline constexpr int kPlotsOutputFailed = 73;  // the folder or a file cannot be written

// Returns 0 when every chart was written (also when no pair has charts: err says so).
int writePlots(const QString& resultsFile, const QString& folder, std::FILE* out, std::FILE* err);
