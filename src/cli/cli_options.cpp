#include "cli/cli_options.h"

#include <cerrno>
#include <cstdlib>

namespace {

// A thread count from 1 to 1024; 0 when the text is anything else.
int threadCount(const std::string& text) {
  if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos) return 0;
  errno = 0;
  const long value = std::strtol(text.c_str(), nullptr, 10);
  return errno == 0 && value >= 1 && value <= 1024 ? static_cast<int>(value) : 0;
}

}  // namespace

CliParse parseCliOptions(const std::vector<std::string>& args) {
  CliParse parse;
  CliOptions& o = parse.options;
  bool onlyFiles = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (!onlyFiles && (arg == "--threads" || arg.rfind("--threads=", 0) == 0)) {
      const bool joined = arg != "--threads";
      const std::string value = joined ? arg.substr(10) : i + 1 < args.size() ? args[++i] : "";
      o.evaluation.threads = threadCount(value);
      if (o.evaluation.threads == 0) {
        parse.ok = false;
        parse.error = "--threads takes a number of threads from 1 to 1024, not '" + value + "'";
        return parse;
      }
    } else if (onlyFiles || arg.empty() || arg[0] != '-' || arg == "-") {
      o.parameterFiles.push_back(arg);
    } else if (arg == "--") {
      onlyFiles = true;
    } else if (arg == "-h" || arg == "--help") {
      o.help = true;
    } else if (arg == "--version") {
      o.version = true;
    } else if (arg == "--reference-evaluation") {
      o.evaluation.reference = true;
    } else if (arg == "--no-progress") {
      o.progress = false;
    } else if (arg == "--on-problem=ask") {
      o.onProblem = ProblemPolicy::Ask;
    } else if (arg == "--on-problem=continue") {
      o.onProblem = ProblemPolicy::Continue;
    } else if (arg == "--on-problem=stop") {
      o.onProblem = ProblemPolicy::Stop;
    } else {
      parse.ok = false;
      parse.error = arg.rfind("--on-problem", 0) == 0
                        ? "--on-problem takes ask, continue or stop, not '" + arg + "'"
                        : "unknown option '" + arg + "'";
      return parse;
    }
  }
  if (!o.help && !o.version && o.parameterFiles.empty()) {
    parse.ok = false;
    parse.error = "no parameter file given";
  }
  return parse;
}

std::string cliUsage() {
  return R"(Usage: torvak-link [options] PARAMETER_FILE...

Runs each linking parameter file in turn, as Run > Linking does in the desktop program, on
a worker thread. Report blocks go to the report file that the parameter file names and to
standard output; messages go to standard error as "caption: text", followed by the run's
final status ("Linking Done: FILE" or "Error: (STATUS) in Linking: FILE").
Relative data-file and report names are taken from the parameter file's folder.

Options:
  --on-problem=ask       on "Problem in Linking, Continue?" ask on the terminal (default;
                         when standard input is not a terminal, this acts as stop)
  --on-problem=continue  skip the failed pair and go on with the next one
  --on-problem=stop      end the run at the failed pair
  --no-progress          no progress line on standard error
  --threads N            Models 3 and 4: compute on N threads (default: one per core);
                         the results do not depend on N
  --reference-evaluation Models 3 and 4: compute the criterion point by point with the
                         full model buffer, as it is defined (much slower; for checking)
  -h, --help             show this help and exit
  --version              show the version and exit

Ctrl-C asks the run in progress to stop: a search in progress ends at its next step and its
pair is reported with the criterion -10; no further pairs or files are run, and the exit
status is 8 at least. A second Ctrl-C ends the program at once.

Exit status:
  0        every run ended with status 0
  1 - 99   the status of the first run that did not end with 0:
             1  the parameter file or a To item file could not be read; Model 1:
                also settings that could not be loaded or checked
             2  a From item file or the empirical theta file could not be read;
                Models 3 and 4: also settings that could not be loaded or checked
             3  Model 1: the least-squares matrix is singular; Models 3 and 4: no theta
                points could be allocated
             8  the run was stopped
             9  Models 3 and 4: the search of a pair failed
            10  the run was ended by an unexpected error (shown as a message)
           A pair that does not fit in memory shows "Not Enough Memory" and fails with
           1 or 2 (Model 1, as an unreadable To or From file) or 3 or 9 (Models 3 and 4).
  100 + k  the first failing run ended with the negative status -k
           (102: Model 1, the From slopes' cross-product matrix is singular)
  64       the command line is wrong
  74       every run ended with status 0, but a report block could not be written to
           its report file ("Can't open output file"); it was shown on standard output
  130      interrupted by a second Ctrl-C
)";
}

int exitCodeForStatus(int status) {
  if (status == 0) return 0;
  if (status > 0) return status < 100 ? status : 99;
  return status > -100 ? 100 - status : 199;
}
