#include "dialogs/start_linking_run.h"

#include <QFile>

#include "diagnostics/pair_diagnostics.h"
#include "dialogs/linking_progress_dialog.h"
#include "dialogs/linking_shell.h"
#include "run/linking_job.h"

DiagnosticsOptions desktopDiagnostics() {
  DiagnosticsOptions options;
  options.itemDiagnostics = true;
  options.errors = DiagnosticsOptions::Errors::Jackknife;
  // About 5 s of replications at most, on one core; a larger pair gets a note instead.
  options.errorsWorkLimit = 3e8;
  return options;
}

LinkingProgressDialog* StartLinkingRun(const QString& path, LinkingShell* shell,
                                       const DiagnosticsOptions& diagnostics,
                                       bool showResultsWhenDone) {
  auto job = std::make_shared<LinkingJob>();
  job->parameterFilePath = QFile::encodeName(path).toStdString();
  job->evaluation.threads = shell->runThreads();
  // The final status says how many pairs were linked or skipped.
  job->collectPairOutcomes = true;
  attachDiagnostics(*job, diagnostics);
  shell->noteRecentFile(path);
  auto* dialog = new LinkingProgressDialog(job, shell);
  dialog->startRun(showResultsWhenDone);
  dialog->show();
  return dialog;
}
