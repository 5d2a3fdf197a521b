// PairOutcome: what became of one pair of a run, as values for scripts and launchers.
//
// The engine appends one outcome per pair it works on (not for a pair that a stop request
// ends before it starts), when the job asks for them (LinkingJob::collectPairOutcomes). A
// launcher reads them once the worker has finished.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

// Counters of one pair's search (both searches when it was restarted from the identity).
struct SearchCounts {
  int status = 0;  // how the kept search ended: 1 small gradient, 2 small change, 3 ended
  long long cycles = 0;
  long long steps = 0;
  long long evaluations = 0;
  bool restarted = false;
};

// One common item of a linked pair, after the link (see src/diagnostics). Values are on the
// scale the search of Models 3 and 4 sees (normal-metric files scaled by 1.702).
struct ItemDiagnostic {
  long long item = 0;  // position of the item's record in the To file (1 = first)
  std::vector<double> toSlopes, fromSlopes, transformedSlopes;  // d each
  double toIntercept = 0.0, fromIntercept = 0.0, transformedIntercept = 0.0;
  double toAsymptote = 0.0, fromAsymptote = 0.0;
  // A polytomous item: "graded" or "partial credit", its categories and its intercepts after
  // the first (d_2 ..; the first is the intercept above). A dichotomous item: empty, 2.
  std::string kind;
  int categories = 2;
  std::vector<double> toRest, fromRest, transformedRest;
  std::optional<double> share;  // of the criterion (the shares sum to it)
  // Of the response over the run's points, weights summing to 1 (of every category's
  // probability for a polytomous item), and its largest absolute difference there.
  double rmsd = 0.0;
  double maxDifference = 0.0;
  bool flagged = false;         // rmsd above the drift cutoff

  // Transformed From minus To.
  double slopeDifference(std::size_t k) const { return transformedSlopes[k] - toSlopes[k]; }
  double interceptDifference() const { return transformedIntercept - toIntercept; }
};

// Standard errors of M and t over replications of the link on resampled common items.
struct StandardErrors {
  enum class Method { Jackknife, Bootstrap };
  Method method = Method::Jackknife;
  int replications = 0;  // asked for (J for the jackknife)
  int failed = 0;        // replications whose search failed, left out
  unsigned long long seed = 0;  // bootstrap only
  std::vector<double> M, t;     // standard errors, d x d and d
  // Bootstrap only: the 2.5 % and 97.5 % quantiles of the replications.
  std::vector<double> lowerM, upperM, lowerT, upperT;
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
  // What the report block names besides: the item files' types, the weighing and the grid
  // (gridPoints 0: the points of the empirical file).
  int fromFileType = 0, toFileType = 0;
  int weighing = 0;
  int gridPoints = 0;
  double rangeBegin = 0.0, rangeEnd = 0.0;
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

  // Positions (in the To file) of the records left out of the link at the launcher's request.
  std::vector<long long> excludedItems;
  // With diagnostics asked for: one row per common item, the cutoff of the drift flag, the
  // lowest and highest theta coordinate of the run's points, and the standard errors.
  std::vector<ItemDiagnostic> itemDiagnostics;
  std::optional<double> driftCutoff;
  std::optional<std::pair<double, double>> thetaRange;
  std::optional<StandardErrors> standardErrors;
  // Why diagnostics or standard errors that were asked for are missing (empty: none missing).
  std::string diagnosticsNote;
};
