// The pair in work as a result record, and its report block.
#pragma once

#include "linking/run_settings.h"
#include "run/pair_outcome.h"

// The record of the pair that s describes: its files, settings and counts (no results).
PairOutcome describePair(const RunSettings& s);

// The same with the criterion, the transformation block as printed (d x d matrix, d vector)
// and the run's conversion problem code.
PairOutcome reportedPair(const RunSettings& s, double criterion, const double* block);

// Writes the pair's block to the report file and the output window. The first block of a run
// replaces the report file when Output_File_Type is not 0; every later block is appended.
void reportPair(RunSettings& s, double criterion, const double* block);
