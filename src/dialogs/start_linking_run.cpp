#include "dialogs/start_linking_run.h"

#include <QFile>

#include "dialogs/linking_progress_dialog.h"
#include "dialogs/linking_shell.h"
#include "run/linking_job.h"

LinkingProgressDialog* StartLinkingRun(const QString& path, LinkingShell* shell) {
  auto job = std::make_shared<LinkingJob>();
  job->parameterFilePath = QFile::encodeName(path).toStdString();
  job->evaluation.threads = shell->runThreads();
  // The final status says how many pairs were linked or skipped.
  job->collectPairOutcomes = true;
  shell->noteRecentFile(path);
  auto* dialog = new LinkingProgressDialog(job, shell);
  dialog->startRun();
  dialog->show();
  return dialog;
}
