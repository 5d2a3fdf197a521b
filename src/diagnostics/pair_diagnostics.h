// What a linked pair's outcome gets beyond the link: item diagnostics and standard errors,
// computed on the worker right after the pair is linked, from the pair's own data.
#pragma once

#include "linking/run_settings.h"
#include "run/diagnostics_options.h"
#include "run/linking_job.h"

// Sets the job's options and its afterPairLinked call to diagnosePair (when options ask for
// anything beyond exclusions).
void attachDiagnostics(LinkingJob& job, const DiagnosticsOptions& options);

// Fills the outcome's item diagnostics and standard errors as the job's options ask. A pair
// whose files cannot be read again, or whose A is singular, gets none (and a message line).
void diagnosePair(const RunSettings& s, PairOutcome& outcome);
