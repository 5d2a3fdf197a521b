// torvak-link: runs linking parameter files headless. See cliUsage() for the interface.
#include <unistd.h>

#include <atomic>
#include <csignal>
#include <cstdio>
#include <memory>

#include "cli/cli_options.h"
#include "cli/console_run_host.h"
#include "jobs/linking_worker.h"

namespace {

// The signal handler can reach nothing else: the stop event of the run in progress.
std::atomic<RunEvent*> runningStop{nullptr};
std::atomic<int> interrupts{0};

extern "C" void onInterrupt(int) {
  if (interrupts.fetch_add(1) > 0) _exit(kExitInterrupted);
  if (RunEvent* stop = runningStop.load()) stop->set();
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
  ProblemPolicy policy = options.onProblem;
  if (policy == ProblemPolicy::Ask && !isatty(STDIN_FILENO)) policy = ProblemPolicy::Stop;
  const bool progress = options.progress && isatty(STDERR_FILENO);
  std::signal(SIGINT, onInterrupt);

  int firstFailure = 0;
  int reportFailures = 0;
  for (const std::string& path : options.parameterFiles) {
    if (interrupts.load() > 0) break;
    auto job = std::make_shared<LinkingJob>();
    job->parameterFilePath = path;
    job->host = std::make_shared<ConsoleRunHost>(stdout, stderr, stdin, policy, progress);
    job->evaluation = options.evaluation;
    runningStop.store(&job->stopEvent);
    auto status = std::make_shared<int>(0);
    // The done event is never set when the parameter file cannot be read: wait for the thread.
    startLinkingThread(job, status).join();
    runningStop.store(nullptr);
    if (*status != 0 && firstFailure == 0) firstFailure = *status;
    reportFailures += job->reportWriteFailures.load();
  }
  // A stop in the search of the last pair still ends its run with status 0; the user asked to
  // stop all the same, and a script must not take the result for a finished run.
  if (interrupts.load() > 0 && firstFailure == 0) {
    std::fputs("torvak-link: stopped by Ctrl-C\n", stderr);
    firstFailure = 8;
  }
  if (firstFailure == 0 && reportFailures > 0) {
    std::fprintf(stderr,
                 "torvak-link: %d report block(s) could not be written to the report file\n",
                 reportFailures);
    return kExitReportNotWritten;
  }
  return exitCodeForStatus(firstFailure);
}
