// PairOutcome: what became of one pair of a run, as values for scripts and launchers.
//
// The engine appends one outcome per pair it works on (not for a pair that a stop request
// ends before it starts), when the job asks for them (LinkingJob::collectPairOutcomes). A
// launcher reads them once the worker has finished.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// Counters of one pair's search (both searches when it was restarted from the identity).
struct SearchCounts {
  int status = 0;  // how the kept search ended: 1 small gradient, 2 small change, 3 ended
  long long cycles = 0;
  long long steps = 0;
  long long evaluations = 0;
  bool restarted = false;
};

struct PairOutcome {
  // Linked: its block was reported. Skipped: it failed and the run went on with the next
  // pair. Failed: it failed and the run ended there.
  enum class Result { Linked, Skipped, Failed };

  Result result = Result::Linked;
  long long entry = 0;                          // data-file entry number as written in the file
  std::string fromFile, toFile, empiricalFile;  // as looked for (empty: no empirical file)
  int model = 0;
  int parameterization = 0;
  int dimension = 0;
  std::int64_t items = 0;
  std::int64_t points = 0;
  int status = 0;       // the engine's code for the pair's failure (0 when linked)
  std::string message;  // messages shown while the pair was worked on, one per line

  // Linked pairs. theta_To = M theta_From + t and its inverse theta_From = A theta_To + b,
  // matrices row by row; M and t are empty when A is singular (conversionProblems 1).
  std::vector<double> M, t, A, b;
  std::vector<double> reported;  // the block's values as the report prints them
  int conversionProblems = 0;
  double criterion = 0.0;
  // Only when LinkingJob::evaluateReferenceCriteria is set.
  std::optional<double> criterionAtIdentity;
  std::optional<double> criterionAtStart;  // Models 3 and 4: at the search's starting point
  std::optional<SearchCounts> search;      // Models 3 and 4
  double seconds = 0.0;                    // wall time of the pair
};
