// The diagnostics file: one CSV table for every linked pair of an invocation.
//
// Each pair gives first one "estimate" row per entry of M and t (its value, standard error and,
// for the bootstrap, its 95 % interval), then one "item" row per common item (RMSD, largest
// difference, share of the criterion, drift flag, and the To, transformed From and difference
// of the intercept and of each slope; when some item is polytomous, every item's model and
// category count and the same three of its further intercepts). Columns that do not apply to
// a row are empty; numbers are written in the shortest form that reads back to the same
// double, whatever the locale.
#pragma once

#include <string>
#include <vector>

#include "run/run_results.h"

std::string formatDiagnosticsCsv(const std::vector<RunResults>& runs);

// Through a temporary file renamed over path; an empty string on success, else why not.
std::string writeDiagnosticsFile(const std::string& path, const std::vector<RunResults>& runs);
