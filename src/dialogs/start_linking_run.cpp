#include "dialogs/start_linking_run.h"

#include <QFile>

#include "app/main_frame.h"
#include "app/profile.h"
#include "dialogs/linking_progress_dialog.h"
#include "run/linking_job.h"

LinkingProgressDialog* StartLinkingRun(const QString& path, CMainFrame* owner) {
  auto job = std::make_shared<LinkingJob>();
  job->parameterFilePath = QFile::encodeName(path).toStdString();
  job->evaluation.threads = owner->profile().threads();
  auto* dialog = new LinkingProgressDialog(job, owner);
  dialog->startRun();
  dialog->show();
  return dialog;
}
