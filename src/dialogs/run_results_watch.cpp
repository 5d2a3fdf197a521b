#include "dialogs/run_results_watch.h"

#include <QWidget>

#include "dialogs/linking_shell.h"
#include "run/linking_job.h"
#include "run/message_log_host.h"
#include "run/run_results.h"

RunResultsWatch::RunResultsWatch(std::shared_ptr<LinkingJob> job,
                                 std::shared_ptr<MessageLogHost> log, std::shared_ptr<int> status,
                                 LinkingShell* shell, int outputId, bool showResults)
    : QObject(shell->shellWindow()),
      job_(std::move(job)),
      log_(std::move(log)),
      status_(std::move(status)),
      shell_(shell),
      outputId_(outputId),
      showResults_(showResults) {
  connect(&timer_, &QTimer::timeout, this, &RunResultsWatch::look);
  timer_.start(kIntervalMs);
}

void RunResultsWatch::look() {
  if (!job_->workerFinished.load()) return;
  timer_.stop();
  RunResults run;
  run.parameterFile = job_->parameterFilePath;
  run.status = *status_;
  run.reportBlocksNotWritten = job_->reportWriteFailures.load();
  run.pairs = job_->pairOutcomes;
  run.messages = attachPairMessages(run.pairs, log_->entries());
  shell_->keepRunResults(outputId_, run, showResults_);
  deleteLater();
}
