// ResultsRecord: linking runs' results as the results window and the plots read them back from
// the JSON document torvak-link --results writes ("torvak-link results", format_version 1).
//
// The desktop turns a finished run's record into that same document and reads it here, so a
// window opened after a run and one opened from a file go the same way. Keys a document written
// before item diagnostics and standard errors existed lacks (or holds as null) read as empty.
// Values are on the logistic scale. A NaN is written as null; a number read as null is NaN.
// Plain C++: no Qt.
#pragma once

#include <istream>
#include <optional>
#include <string>
#include <utility>
#include <vector>

using RowMatrix = std::vector<std::vector<double>>;  // row by row

struct ResultsItemParameters {
  std::vector<double> slopes;  // d
  double intercept = 0.0;
  double asymptote = 0.0;
};

// One common item of a linked pair after the link.
struct ResultsItem {
  long long item = 0;  // position of the record in the To file (1 = first)
  ResultsItemParameters to, from;
  ResultsItemParameters fromTransformed;  // a* = A'a, d* = d + a'b; asymptote as From's
  std::vector<double> slopeDifferences;   // transformed From minus To
  double interceptDifference = 0.0;
  std::optional<double> share;  // of the criterion
  double rmsd = 0.0;
  double maxDifference = 0.0;
  bool flagged = false;
  // A polytomous item: "graded" or "partial credit" and its categories; empty and 2 otherwise.
  std::string model;
  int categories = 2;
};

struct ResultsErrors {
  std::string method;  // "jackknife" or "bootstrap"
  int replications = 0;
  int failed = 0;
  std::optional<unsigned long long> seed;
  RowMatrix M;  // standard errors of M and t
  std::vector<double> t;
  // Bootstrap: the 95 % interval of each element; empty otherwise.
  RowMatrix lowerM, upperM;
  std::vector<double> lowerT, upperT;

  bool hasInterval() const { return !lowerM.empty(); }
};

struct ResultsPair {
  int pair = 0;  // 1 = the run's first pair
  long long entry = 0;
  std::string result;  // "linked", "skipped" or "failed"
  int status = 0;
  std::string message;
  std::string fromFile, toFile;
  int model = 0;
  int dimension = 0;
  long long itemCount = 0;
  // theta_To = M theta_From + t (empty when A is singular) and theta_From = A theta_To + b.
  RowMatrix M, A;
  std::vector<double> t, b;
  std::optional<double> criterion;
  std::vector<long long> excludedItems;
  std::optional<double> driftCutoff;
  std::optional<std::pair<double, double>> thetaRange;
  std::vector<ResultsItem> items;  // empty without item diagnostics
  std::optional<ResultsErrors> standardErrors;
  std::string diagnosticsNote;  // why diagnostics asked for are missing

  bool linked() const { return result == "linked"; }
};

struct ResultsRun {
  std::string parameterFile;
  int status = 0;
  std::vector<std::string> messages;
  std::vector<ResultsPair> pairs;
};

struct ResultsDocument {
  int exitStatus = 0;
  std::vector<ResultsRun> runs;
};

struct ResultsRead {
  ResultsDocument document;
  // Empty when read; else "NAME: where: what is wrong".
  std::string error;
  bool ok() const { return error.empty(); }
};

// name stands for the document in error texts (the file's path).
ResultsRead readResultsJson(const std::string& text, const std::string& name);
ResultsRead readResultsJson(std::istream& in, const std::string& name);
ResultsRead readResultsFile(const std::string& path);
