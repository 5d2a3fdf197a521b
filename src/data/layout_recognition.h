// Recognising what a calibration program wrote, from a file's content (never its name).
//
// The layouts known are those of mirt, ltm and TAM tables (written by R's write.csv or
// write.table), mirt fscores tables, flexMIRT and IRTPRO -prm.txt files, BILOG-MG .PAR and .SCO
// files, PARSCALE .PAR files and generic tables with or without a header. For a recognised
// file the result holds the data-file format that reads it (row-skip list, column format,
// separator, one record per line, metric), the item or point count, and notes on the graded
// and partial credit items it holds and on what the format leaves out (item types Torvak does
// not read, group lines). For another file it names the nearest layout and why the file does
// not fit it.
#pragma once

#include <istream>
#include <string>
#include <vector>

#include "params/linking_settings.h"

struct RecognizedLayout {
  bool recognised = false;
  std::string layout;      // what the file is: "mirt item table, slope-intercept (write.csv)"
  bool thetaFile = false;  // theta points (an empirical theta file) rather than items
  long long count = 0;     // items or points the format reads
  int dimension = 0;
  // The metric, when the layout tells it: 0 logistic, 1 normal (File_Type 1, scaled by 1.702);
  // -1 when the file does not say (the format's file type is then 0).
  int metric = -1;
  DataFileSpec spec;               // rowSkip braced; name is the file's
  std::vector<std::string> notes;  // lines left out and why, in file order
  // Not recognised: the layout the file comes nearest to, and why it does not fit.
  std::string nearest;
  std::string whyNot;
};

RecognizedLayout recognizeLayout(std::istream& in, const std::string& name);
// The same for a file; whyNot says so when it cannot be opened.
RecognizedLayout recognizeLayoutOfFile(const std::string& path);

// What torvak-link --identify prints for one file: the layout, the counts and metric, the
// parameter-file lines that read it (From_ keys for items, Emp_ keys for theta points), the
// notes; or "not recognised" with the nearest layout.
// prefix names the keys ("To", say); empty: "From" for items, "Emp" for theta points.
std::string describeLayout(const RecognizedLayout& layout, const std::string& prefix = {});
