// The record of a run the desktop has just finished, as the results window reads it: the
// run's RunResults written as the results JSON (formatResultsJson) and read back, so that a
// window on a finished run and one on a results file show exactly the same thing.
#pragma once

#include "results/results_record.h"
#include "run/run_results.h"

// Fails only when the writer and the reader disagree (the error says where).
ResultsRead recordOfRun(const RunResults& run);
