// Labelled results: every run and pair of an invocation as one JSON document, for scripts
// (R, Python, spreadsheets). The fields are described in the README; the report file is not
// affected.
#pragma once

#include <string>
#include <vector>

#include "run/run_results.h"

// The document, indented, ending with a line end.
std::string formatResultsJson(const std::vector<RunResults>& runs, int exitStatus);

// Writes the document through a temporary file renamed over path; returns an empty string on
// success, otherwise why it failed (the old file is kept).
std::string writeResultsFile(const std::string& path, const std::vector<RunResults>& runs,
                             int exitStatus);
