// RunResults: what one parameter file's run came to, gathered by a launcher after the worker
// finished: its status, its pairs' outcomes and the messages that belong to no pair.
#pragma once

#include <algorithm>
#include <string>
#include <vector>

#include "run/pair_outcome.h"

struct RunResults {
  std::string parameterFile;
  int status = 0;                  // the run's status, as the worker returned it
  int reportBlocksNotWritten = 0;  // blocks shown but not written to the report file
  std::vector<std::string> messages;
  std::vector<PairOutcome> pairs;

  long long pairsWith(PairOutcome::Result result) const {
    return std::count_if(pairs.begin(), pairs.end(),
                         [result](const PairOutcome& p) { return p.result == result; });
  }
};
