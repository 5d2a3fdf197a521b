// CMainFrame's quit: every question first, then the runs are stopped and the windows closed.
//
// A quit that is cancelled at any prompt leaves every window, its text and every run exactly
// as they were; nothing is closed or stopped until the user has answered every question.
#include <QCloseEvent>
#include <QEventLoop>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMessageBox>
#include <QTimer>

#include "app/help_window.h"
#include "app/main_frame.h"
#include "app/pellan1_doc.h"
#include "run/linking_job.h"

CMainFrame::SaveAnswer CMainFrame::askToSave(CPellan1Doc* document) {
  if (!document->isModified()) return SaveAnswer::Done;
  const auto answer = QMessageBox::question(
      this, kTitle, QString("Save changes to %1?").arg(document->promptName()),
      QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
  if (answer == QMessageBox::Cancel) return SaveAnswer::Cancelled;
  if (answer == QMessageBox::No) return SaveAnswer::Discard;
  return saveDocument(document, false) ? SaveAnswer::Done : SaveAnswer::Cancelled;
}

bool CMainFrame::confirmQuit() {
  if (activeRunCount() > 0) {
    const auto answer =
        QMessageBox::question(this, kTitle, "Linking runs are in progress. Stop them and quit?",
                              QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
    if (answer != QMessageBox::Yes) return false;
  }
  for (CPellan1Doc* document : documents()) {
    if (askToSave(document) == SaveAnswer::Cancelled) return false;
  }
  stopRuns();
  // Asked once each; text that reached an output window while its run wound up goes with it.
  for (CPellan1Doc* document : documents()) document->setModified(false);
  return true;
}

void CMainFrame::stopRuns() {
  if (activeRunCount() == 0) return;
  for (const auto& job : runs_) job->stopEvent.set();
  // The workers may still need this thread (a message, the last report text), so wait with
  // the event loop running.
  QEventLoop loop;
  QTimer poll;
  connect(&poll, &QTimer::timeout, &loop, [this, &loop] {
    if (activeRunCount() == 0) loop.quit();
  });
  poll.start(20);
  loop.exec();
}

void CMainFrame::closeEvent(QCloseEvent* event) {
  // A second close request while runs wind up or prompts are open waits for the first.
  if (closing_) {
    event->ignore();
    return;
  }
  closing_ = true;
  bool closed = confirmQuit();
  if (closed) {
    mdi_->closeAllSubWindows();
    closed = mdi_->subWindowList().isEmpty();
  }
  closing_ = false;
  if (!closed) {
    event->ignore();
    return;
  }
  if (helpWindow_) helpWindow_->close();
  event->accept();
}
