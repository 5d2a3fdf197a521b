// The warnings torvak-link prints on standard error around its runs: before a run, the words
// of its parameter file that look like keys but are not read; after the runs, runs that
// linked nothing (with the reason where the parameter file shows it), pairs skipped, report
// blocks lost. Each line is "Warning: FILE: text".
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "run/run_results.h"

// Returns the number of words named.
int printUnreadKeys(const std::string& parameterFile, std::FILE* err);

void printRunSummary(const std::vector<RunResults>& runs, std::FILE* err);
