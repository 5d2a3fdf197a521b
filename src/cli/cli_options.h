// Command-line options of torvak-link.
#pragma once

#include <string>
#include <vector>

#include "cli/console_run_host.h"
#include "numerics/evaluation_options.h"
#include "run/diagnostics_options.h"
#include "run/run_results.h"

struct CliOptions {
  std::vector<std::string> parameterFiles;
  ProblemPolicy onProblem = ProblemPolicy::Ask;  // ask only when stdin is a terminal
  bool progress = true;                          // only when stderr is a terminal
  std::string resultsFile;                       // --results: labelled results as JSON
  bool check = false;                            // --check: load and check, link nothing
  bool identify = false;  // --identify: the files are data files whose layout is told
  bool help = false;
  bool version = false;
  EvaluationOptions evaluation;  // --threads N, --reference-evaluation
  // --exclude, --se, --seed, --drift-cutoff; item diagnostics with --results or --diagnostics.
  DiagnosticsOptions diagnostics;
  std::string diagnosticsFile;  // --diagnostics: the item and estimate table as CSV
};

struct CliParse {
  bool ok = true;
  std::string error;
  CliOptions options;
};

CliParse parseCliOptions(const std::vector<std::string>& args);

std::string cliUsage();

// Exit status of the program for the status of the first failing run (0 when none failed).
int exitCodeForStatus(int status);

// Exit status after all runs: the first failing run's status; else 8 when interrupted; else
// the codes below, the first that applies; 0 only when every pair of every run was linked
// and reported.
int exitCodeForRuns(const std::vector<RunResults>& runs, bool interrupted);

constexpr int kExitUsage = 64;
// --check: a file would not load, or a pair's data files would not be read.
constexpr int kExitCheckFailed = 65;
// Every run ended with status 0, but a run linked no pair (a Model_Type other than 1, 3 or 4,
// no data-file entry, or every pair skipped).
constexpr int kExitNothingLinked = 72;
// Every run ended with status 0, but pairs failed and were skipped (--on-problem=continue).
constexpr int kExitPairsSkipped = 73;
// Every run ended with status 0, but a report block could not be written to its report file.
constexpr int kExitReportNotWritten = 74;
// --results: the results file could not be written (the runs themselves went well).
constexpr int kExitResultsNotWritten = 75;
constexpr int kExitInterrupted = 130;
