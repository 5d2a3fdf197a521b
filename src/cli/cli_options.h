// Command-line options of torvak-link.
#pragma once

#include <string>
#include <vector>

#include "cli/console_run_host.h"
#include "numerics/evaluation_options.h"

struct CliOptions {
  std::vector<std::string> parameterFiles;
  ProblemPolicy onProblem = ProblemPolicy::Ask;  // ask only when stdin is a terminal
  bool progress = true;                          // only when stderr is a terminal
  bool help = false;
  bool version = false;
  EvaluationOptions evaluation;  // --threads N, --reference-evaluation
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

constexpr int kExitUsage = 64;
// Every run ended with status 0, but a report block could not be written to its report file.
constexpr int kExitReportNotWritten = 74;
constexpr int kExitInterrupted = 130;
