// DiagnosticsOptions: what a launcher asks of a run beyond the link itself: common items to
// leave out, item diagnostics with a drift flag, and standard errors of M and t.
#pragma once

#include <vector>

struct DiagnosticsOptions {
  enum class Errors { None, Jackknife, Bootstrap };

  // Positions of item records (1 = the first record of the To file, and of the From file) that
  // every pair of the run links without; sorted, no repeats.
  std::vector<long long> excludedItems;
  bool itemDiagnostics = false;
  double driftCutoff = 0.1;
  Errors errors = Errors::None;
  int bootstrapReplications = 200;
  unsigned long long seed = 1;
  // Above this many item responses (replications x points x items) the standard errors are
  // left out with a note; 0: no limit (they were asked for by name). The desktop sets one,
  // since it asks for them on every run.
  double errorsWorkLimit = 0.0;

  bool wanted() const { return itemDiagnostics || errors != Errors::None; }
};
