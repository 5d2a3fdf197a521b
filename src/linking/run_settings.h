// RunSettings: an engine's copy of a linking parameter file plus the counters of its run.
//
// loadRunSettings reads the file by the shared token rules, corrects and checks the values in
// a fixed order with fixed messages, resolves relative data-file and report names against the
// parameter file's folder, and counts the data lines of the first pair's files. Messages go
// to the host of the job (none when there is no job). A job with an input record gives the
// settings and counts instead of the files. Not thread-safe: one engine, one thread.
#pragma once

#include <cstdint>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "params/linking_settings.h"
#include "run/linking_job.h"

struct DataFileEntries;

struct RunSettings : LinkingSettings {
  LinkingJob* job = nullptr;
  std::int64_t pointCount = 0;  // theta points of the run; saturates at INT64_MAX
  int conversionProblems = 0;   // printed by the report when non-zero
  std::int64_t itemCount = 0;   // common items linked
  // Item records read from each item file: itemCount plus the records the job leaves out.
  std::int64_t recordCount = 0;
  // Data files whose records-and-lines warning was shown in this run (once per file).
  std::set<std::string> lineNotesShown;
  // The parameter file's data-file entries, read at the first lookup of a next pair.
  std::shared_ptr<const DataFileEntries> entries;

  // Defaults of every field except settingsPath; clears the job.
  void reset();
  // The job's host, or a host that shows nothing.
  RunHost& host() const;
};

// Result codes of loadRunSettings.
enum : int {
  kLoadOk = 0,
  kLoadFailed = 1,  // the file cannot be opened, or a check failed
  kLoadGridAndEmpirical = 2,
  kLoadNoFromFile = -3,
  kLoadNoToFile = -4,
  kLoadNoEmpiricalFile = -5,
  kLoadNothingCounted = 9,
};

int loadRunSettings(RunSettings& s, const std::string& path);

// Counts items and theta points of the first pair; shows "No F/T/E data file" on a missing file.
int countDataLines(RunSettings& s);
// The same for a run given in memory (the job's input): its arrays' items and points.
int countInputRecords(RunSettings& s);

// The job's excluded records among the first recordCount ones, in order (positions from 1).
std::vector<long long> excludedRecords(const RunSettings& s);

// name resolved against the folder of parameterFile when it is relative (and not empty).
std::string resolveDataPath(const std::string& parameterFile, const std::string& name);

// G^d, saturating at INT64_MAX.
std::int64_t gridPointCount(int gridPoints, int dimension);
