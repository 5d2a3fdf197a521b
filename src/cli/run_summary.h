// The lines torvak-link prints on standard error after its runs: runs that linked nothing
// (with the reason where the parameter file shows it), pairs skipped, report blocks lost.
#pragma once

#include <cstdio>
#include <vector>

#include "run/run_results.h"

void printRunSummary(const std::vector<RunResults>& runs, std::FILE* err);
