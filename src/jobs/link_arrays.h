// The file-free entry point of the core: a settings record and item and theta arrays in, the
// run's result record out (the record --results writes), for the R and Python bindings.
//
// The run is the one torvak-link makes of the same values written to files: the same engines,
// checks and messages, and bit for bit the same numbers. It works on a thread of its own while
// the calling thread polls `interrupted` (so that R and Python can look for Ctrl-C there); a
// true answer asks the run to stop, as Ctrl-C does in torvak-link.
#pragma once

#include <functional>
#include <string>

#include "numerics/evaluation_options.h"
#include "run/diagnostics_options.h"
#include "run/link_input.h"
#include "run/run_results.h"

struct ArrayLinkResult {
  RunResults run;            // status and messages of the run; one pair outcome when it ran
  bool interrupted = false;  // interrupted() answered true
  // Empty when the pair was linked; otherwise why not: the input's fault, or the run's
  // messages (the core's own words, one per line).
  std::string error;
};

// Why input cannot be linked, in words that name the array and the row or value; empty when it
// can. Checked: model 1, 3 or 4; dimension 1 to 25; array sizes (items x dimension slopes, one
// intercept and one guessing per item, the same items From and To, at least dimension + 1 of
// them; theta points x dimension); finite values; guessing in [0, 1); a grid of at least 2
// points per dimension or theta points, not both.
std::string linkInputProblem(const LinkInput& input);

// Links the pair of input (after linkInputProblem passes). The data-file names of its settings
// are set here ("From items", "To items", "theta points"), and so are column formats that fit
// the arrays; every other setting is taken as it stands. name labels the run in messages.
// diagnostics: items to leave out, and the item diagnostics and standard errors the outcome gets.
ArrayLinkResult linkArrays(LinkInput input, const EvaluationOptions& evaluation,
                           const std::function<bool()>& interrupted,
                           const std::string& name = "torvak",
                           const DiagnosticsOptions& diagnostics = {});

// Runs a linking parameter file as torvak-link does (a failed pair ends the run, no question is
// asked, nothing is printed), for the bindings' run functions: the record --results writes.
RunResults runParameterFileQuietly(const std::string& path, const EvaluationOptions& evaluation,
                                   const std::function<bool()>& interrupted, bool& stopped,
                                   const DiagnosticsOptions& diagnostics = {});
