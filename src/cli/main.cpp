// torvak-link: runs linking parameter files headless. See cliUsage() for the interface.
#include <unistd.h>

#include <atomic>
#include <csignal>
#include <cstdio>
#include <memory>

#include "cli/check_report.h"
#include "cli/cli_options.h"
#include "cli/console_run_host.h"
#include "cli/run_warnings.h"
#include "data/layout_recognition.h"
#include "diagnostics/pair_diagnostics.h"
#include "jobs/linking_worker.h"
#include "jobs/run_check.h"
#include "report/diagnostics_csv.h"
#include "report/results_json.h"
#include "run/message_log_host.h"

namespace {

// The signal handler can reach nothing else: the stop event of the run in progress.
std::atomic<RunEvent*> runningStop{nullptr};
std::atomic<int> interrupts{0};

extern "C" void onInterrupt(int) {
  if (interrupts.fetch_add(1) > 0) _exit(kExitInterrupted);
  if (RunEvent* stop = runningStop.load()) stop->set();
}

// --check: each file loaded and checked as a run would, nothing linked.
int checkFiles(const std::vector<std::string>& files) {
  int exitCode = 0;
  for (const std::string& path : files) {
    printUnreadKeys(path, stderr);
    auto host = std::make_shared<ConsoleRunHost>(stdout, stderr, stdin, ProblemPolicy::Stop, false);
    const RunCheck check = checkRun(path, host);
    std::fflush(stderr);
    std::fputs(formatRunCheck(path, check).c_str(), stdout);
    std::fflush(stdout);
    if (check.passes() || exitCode == kExitCheckFailed) continue;
    exitCode = check.opened && !check.hasEngine() ? kExitNothingLinked : kExitCheckFailed;
  }
  return exitCode;
}

// --identify: the layout of each data file, and the lines that read it.
int identifyFiles(const std::vector<std::string>& files) {
  int exitCode = 0;
  for (const std::string& path : files) {
    const RecognizedLayout layout = recognizeLayoutOfFile(path);
    std::fputs(describeLayout(layout).c_str(), stdout);
    if (!layout.recognised) exitCode = kExitCheckFailed;
  }
  return exitCode;
}

}  // namespace

int main(int argc, char** argv) {
  const CliParse parse = parseCliOptions({argv + 1, argv + argc});
  if (!parse.ok) {
    std::fprintf(stderr, "torvak-link: %s\nTry 'torvak-link --help'.\n", parse.error.c_str());
    return kExitUsage;
  }
  const CliOptions& options = parse.options;
  if (options.help) {
    std::fputs(cliUsage().c_str(), stdout);
    return 0;
  }
  if (options.version) {
    std::printf("torvak-link %s\n", TORVAK_VERSION);
    return 0;
  }
  if (options.identify) return identifyFiles(options.parameterFiles);
  if (options.check) return checkFiles(options.parameterFiles);
  ProblemPolicy policy = options.onProblem;
  if (policy == ProblemPolicy::Ask && !isatty(STDIN_FILENO)) policy = ProblemPolicy::Stop;
  const bool progress = options.progress && isatty(STDERR_FILENO);
  std::signal(SIGINT, onInterrupt);

  std::vector<RunResults> runs;
  for (const std::string& path : options.parameterFiles) {
    if (interrupts.load() > 0) break;
    printUnreadKeys(path, stderr);
    auto console = std::make_shared<ConsoleRunHost>(stdout, stderr, stdin, policy, progress);
    auto log = std::make_shared<MessageLogHost>(console);
    auto job = std::make_shared<LinkingJob>();
    job->parameterFilePath = path;
    job->host = log;
    job->collectPairOutcomes = true;
    job->evaluateReferenceCriteria = !options.resultsFile.empty();
    job->evaluation = options.evaluation;
    attachDiagnostics(*job, options.diagnostics);
    runningStop.store(&job->stopEvent);
    auto status = std::make_shared<int>(0);
    // The done event is never set when the parameter file cannot be read: wait for the thread.
    startLinkingThread(job, status).join();
    runningStop.store(nullptr);
    RunResults& run = runs.emplace_back();
    run.parameterFile = path;
    run.status = *status;
    run.reportBlocksNotWritten = job->reportWriteFailures.load();
    run.pairs = std::move(job->pairOutcomes);
    run.messages = attachPairMessages(run.pairs, log->entries());
  }
  // A stop in the search of the last pair still ends its run with status 0; the user asked to
  // stop all the same, and a script must not take the result for a finished run.
  const bool interrupted = interrupts.load() > 0;
  if (interrupted) std::fputs("torvak-link: stopped by Ctrl-C\n", stderr);
  printRunSummary(runs, stderr);
  int exitCode = exitCodeForRuns(runs, interrupted);
  if (!options.resultsFile.empty()) {
    const std::string error = writeResultsFile(options.resultsFile, runs, exitCode);
    if (!error.empty()) {
      std::fprintf(stderr, "torvak-link: results not written: %s\n", error.c_str());
      if (exitCode == 0) exitCode = kExitResultsNotWritten;
    }
  }
  if (!options.diagnosticsFile.empty()) {
    const std::string error = writeDiagnosticsFile(options.diagnosticsFile, runs);
    if (!error.empty()) {
      std::fprintf(stderr, "torvak-link: diagnostics not written: %s\n", error.c_str());
      if (exitCode == 0) exitCode = kExitResultsNotWritten;
    }
  }
  return exitCode;
}
