#include "cli/cli_options.h"

#include "cli/diagnostics_arguments.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <string_view>

namespace {

// A thread count from 1 to 1024; 0 when the text is anything else.
int threadCount(const std::string& text) {
  if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos) return 0;
  errno = 0;
  const long value = std::strtol(text.c_str(), nullptr, 10);
  return errno == 0 && value >= 1 && value <= 1024 ? static_cast<int>(value) : 0;
}

// Whether args[i] is the option name, as "NAME VALUE" (i then moves to the value) or
// "NAME=VALUE"; value is empty when none is given.
bool optionValue(const std::vector<std::string>& args, std::size_t& i, std::string_view name,
                 std::string& value) {
  const std::string& arg = args[i];
  if (arg == name) {
    value = i + 1 < args.size() ? args[++i] : std::string();
    return true;
  }
  if (arg.size() > name.size() && arg.compare(0, name.size(), name) == 0 &&
      arg[name.size()] == '=') {
    value = arg.substr(name.size() + 1);
    return true;
  }
  return false;
}

// The field of the options that names an output file (--results, --diagnostics), or null
// when args[i] is neither.
std::string* fileOption(const std::vector<std::string>& args, std::size_t& i, CliOptions& o,
                        std::string& value) {
  if (optionValue(args, i, "--results", value)) return &o.resultsFile;
  if (optionValue(args, i, "--diagnostics", value)) return &o.diagnosticsFile;
  return nullptr;
}

// "-" when args[i] is none of the diagnostics options; else empty or why its value is wrong.
std::string diagnosticsOption(const std::vector<std::string>& args, std::size_t& i,
                              DiagnosticsOptions& options) {
  std::string value;
  if (optionValue(args, i, "--exclude", value)) return parseItemList(value, options.excludedItems);
  if (optionValue(args, i, "--se", value)) return parseErrorsMethod(value, options);
  if (optionValue(args, i, "--seed", value)) return parseSeed(value, options.seed);
  if (optionValue(args, i, "--drift-cutoff", value)) {
    return parseDriftCutoff(value, options.driftCutoff);
  }
  return "-";
}

}  // namespace

CliParse parseCliOptions(const std::vector<std::string>& args) {
  CliParse parse;
  CliOptions& o = parse.options;
  bool onlyFiles = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    std::string value;
    if (onlyFiles || arg.empty() || arg[0] != '-' || arg == "-") {
      o.parameterFiles.push_back(arg);
    } else if (optionValue(args, i, "--threads", value)) {
      o.evaluation.threads = threadCount(value);
      if (o.evaluation.threads == 0) {
        parse.ok = false;
        parse.error = "--threads takes a number of threads from 1 to 1024, not '" + value + "'";
        return parse;
      }
    } else if (std::string* file = fileOption(args, i, o, value)) {
      if (value.empty()) {
        parse.ok = false;
        parse.error = arg.substr(0, arg.find('=')) + " needs a file name";
        return parse;
      }
      *file = value;
    } else if (std::string error = diagnosticsOption(args, i, o.diagnostics); error != "-") {
      if (!error.empty()) {
        parse.ok = false;
        parse.error = error;
        return parse;
      }
    } else if (arg == "--check") {
      o.check = true;
    } else if (arg == "--identify") {
      o.identify = true;
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
  o.diagnostics.itemDiagnostics = !o.resultsFile.empty() || !o.diagnosticsFile.empty();
  if (!o.help && !o.version && o.parameterFiles.empty()) {
    parse.ok = false;
    parse.error = o.identify ? "--identify needs a data file" : "no parameter file given";
  }
  return parse;
}

std::string cliUsage() {
  return R"(Usage: torvak-link [options] PARAMETER_FILE...
       torvak-link --identify DATA_FILE...

Runs each linking parameter file in turn, as Run > Linking does in the desktop program, on
a worker thread. Report blocks go to the report file that the parameter file names and to
standard output; messages go to standard error as "caption: text", followed by the run's
final status ("Linking Done: FILE" or "Error: (STATUS) in Linking: FILE"). Words of the
parameter file that look like keys but are not read (a misspelt key, "Model_Type=3" without
a blank) are named with their line before the run, as "Warning: FILE: line N: ...".
Relative data-file and report names are taken from the parameter file's folder.

Options:
  --on-problem=ask       on "Problem in Linking, Continue?" ask on the terminal (default;
                         when standard input is not a terminal, this acts as stop)
  --on-problem=continue  skip the failed pair and go on with the next one
  --on-problem=stop      end the run at the failed pair
  --no-progress          no progress line on standard error
  --results FILE         also write the results of every run and pair to FILE as JSON
                         (labelled: files, counts, M and t, A and b, criteria, search)
  --diagnostics FILE     also write a CSV table to FILE: for every linked pair, M and t
                         (with standard errors when --se is given) and, per common item,
                         the transformed From parameters beside the To ones, the item's
                         share of the criterion, the RMSD and largest difference of its
                         response over the run's points, and its drift flag
  --drift-cutoff X       flag an item whose response RMSD is above X (default 0.1)
  --exclude ITEMS        link every pair without these common items: positions of the
                         records in the To file (and the From file), e.g. 3,17,20-22
  --se METHOD            standard errors of M and t over the common items (item
                         sampling, not the calibrations' estimation error), to --results
                         and --diagnostics: jackknife (leave one item out) or
                         bootstrap[:B] (B resamples, default 200, with a 95 % interval)
  --seed N               the bootstrap's random seed (default 1); the same seed gives the
                         same errors on any number of threads
  --check                load and check each file as a run would (settings, counts, the
                         first record of every data file, the pairs to link); link nothing
  --threads N            Models 3 and 4: compute on N threads (default: one per core);
                         the results do not depend on N
  --reference-evaluation Models 3 and 4: compute the criterion point by point with the
                         full model buffer, as it is defined (much slower; for checking)
  --identify             the files are item or theta files: say which program's layout
                         each one is (mirt, ltm, TAM, flexMIRT, IRTPRO, BILOG-MG,
                         PARSCALE, generic tables), how many items or points it holds,
                         its metric, and the parameter-file lines that read it; link
                         nothing
  -h, --help             show this help and exit
  --version              show the version and exit

Ctrl-C asks the run in progress to stop: a search in progress ends at its next step and its
pair is reported with the criterion -10; no further pairs or files are run, and the exit
status is 8 at least. A second Ctrl-C ends the program at once.

Exit status:
  0        every pair of every run was linked and its block reported
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
  When every run ended with status 0, the first of these that applies:
  72       a run linked no pair (Model_Type not 1, 3 or 4, no "$Data_Files" entry, or
           every pair skipped)
  73       some pairs failed and were skipped (--on-problem=continue)
  74       a report block could not be written to its report file ("Can't open output
           file"); it was shown on standard output
  75       the --results or --diagnostics file could not be written
  With --check: 0 every file passes; 65 a file would fail (its settings or a data
  file); 72 a file would link nothing (Model_Type not 1, 3 or 4).
  With --identify: 0 every file was recognised; 65 a file was not (or cannot be opened).
  130      interrupted by a second Ctrl-C
)";
}

int exitCodeForStatus(int status) {
  if (status == 0) return 0;
  if (status > 0) return status < 100 ? status : 99;
  return status > -100 ? 100 - status : 199;
}

int exitCodeForRuns(const std::vector<RunResults>& runs, bool interrupted) {
  for (const RunResults& run : runs) {
    if (run.status != 0) return exitCodeForStatus(run.status);
  }
  if (interrupted) return exitCodeForStatus(8);
  auto any = [&runs](auto test) { return std::any_of(runs.begin(), runs.end(), test); };
  if (any([](const RunResults& r) { return r.pairsWith(PairOutcome::Result::Linked) == 0; })) {
    return kExitNothingLinked;
  }
  if (any([](const RunResults& r) { return r.pairsWith(PairOutcome::Result::Skipped) > 0; })) {
    return kExitPairsSkipped;
  }
  if (any([](const RunResults& r) { return r.reportBlocksNotWritten > 0; })) {
    return kExitReportNotWritten;
  }
  return 0;
}
