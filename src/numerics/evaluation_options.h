// EvaluationOptions: how the Model 3 and Model 4 engines compute their criterion.
#pragma once

struct EvaluationOptions {
  // Threads that evaluate the criterion, the run's own thread included; 0 (the default) means
  // one per processor core. Results are the same for any number.
  int threads = 0;
  // true: compute with the full model buffer, point by point, as the criterion is defined
  // (slow; for checking). false (the default): the structured evaluation, which gives the
  // same values to rounding.
  bool reference = false;
};
