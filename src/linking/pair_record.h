// PairRecord: an engine's note of what became of the pair in work, kept in the job.
//
// An engine makes one after announcing a pair and, when the job collects outcomes, appends
// the pair's PairOutcome to the job through linked() or failed(). With collection off it
// records nothing and costs nothing beyond a clock reading.
#pragma once

#include <chrono>
#include <vector>

#include "linking/run_settings.h"
#include "run/pair_outcome.h"

class PairRecord {
 public:
  // entry: the number of the pair's data-file entry; 0 for the run's first pair, whose number
  // is then read from the file (only when collecting).
  PairRecord(const RunSettings& s, long long entry);

  bool collecting() const { return collecting_; }
  // Whether the launcher asked for the criterion at the identity and at the start.
  bool wantsReferenceCriteria() const { return collecting_ && referenceCriteria_; }
  PairOutcome& outcome() { return outcome_; }

  // The pair was reported with criterion and the block as printed (d x d matrix, d vector).
  void linked(const RunSettings& s, double criterion, const double* block);
  // The pair failed with the engine's status; runGoesOn: it was skipped, else the run ends.
  void failed(const RunSettings& s, int status, bool runGoesOn);

 private:
  void append(const RunSettings& s);
  double secondsSinceStart() const;

  bool collecting_;
  bool referenceCriteria_;
  PairOutcome outcome_;
  std::chrono::steady_clock::time_point start_;
};

// The identity transformation as a block: d x d identity matrix, then a zero d-vector.
std::vector<double> identityBlock(int d);
