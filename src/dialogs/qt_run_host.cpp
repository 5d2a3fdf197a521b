#include "dialogs/qt_run_host.h"

#include <QApplication>
#include <QMessageBox>
#include <QThread>
#include <atomic>

#include "dialogs/linking_progress_dialog.h"
#include "dialogs/linking_shell.h"

namespace {

// Runs task on the user-interface thread: queued, or waiting for it when blocking.
template <typename Task>
void onUiThread(Task task, bool blocking) {
  QCoreApplication* app = QCoreApplication::instance();
  if (QThread::currentThread() == app->thread()) {
    task();
    return;
  }
  QMetaObject::invokeMethod(app, std::move(task),
                            blocking ? Qt::BlockingQueuedConnection : Qt::QueuedConnection);
}

QString fromUtf8(const std::string& text) { return QString::fromStdString(text); }

}  // namespace

QtRunHost::QtRunHost(LinkingShell* shell, LinkingProgressDialog* dialog, int outputId)
    : shell_(shell), shellWindow_(shell->shellWindow()), dialog_(dialog), outputId_(outputId) {}

MessageAnswer QtRunHost::showMessage(const std::string& text, const std::string& caption,
                                     MessageButtons buttons) {
  // Written on the user-interface thread, read here once the blocking call returns. Qt's
  // wait is invisible to ThreadSanitizer; an atomic makes the hand-over explicit.
  std::atomic<MessageAnswer> answer{MessageAnswer::Cancel};
  onUiThread(
      [&] {
        QMessageBox box(
            QMessageBox::Warning, caption.empty() ? QString(LinkingShell::kTitle) : fromUtf8(caption),
            fromUtf8(text),
            buttons == MessageButtons::Ok ? QMessageBox::Ok : QMessageBox::Ok | QMessageBox::Cancel,
            shellWindow_.data());
        box.setObjectName("runMessageBox");
        box.setWindowModality(Qt::ApplicationModal);
        answer.store(box.exec() == QMessageBox::Ok ? MessageAnswer::Ok : MessageAnswer::Cancel);
      },
      true);
  return answer.load();
}

void QtRunHost::beep() {
  onUiThread([] { QApplication::beep(); }, false);
}

void QtRunHost::setStatusText(const std::string& text) {
  onUiThread(
      [self = shared_from_this(), text = fromUtf8(text)] {
        if (LinkingShell* shell = self->shell()) shell->setStatusText(text);
      },
      false);
}

void QtRunHost::announceEnding(const RunEnding& ending) {
  onUiThread(
      [self = shared_from_this(), text = fromUtf8(runEndingText(ending))] {
        if (LinkingShell* shell = self->shell()) shell->showRunEnding(text);
      },
      false);
}

void QtRunHost::postProgress(const ProgressNote& note) {
  {
    std::lock_guard lock(progressMutex_);
    pendingNote_ = note;
    if (pendingSteps_++ > 0) return;
  }
  onUiThread([self = shared_from_this()] { self->showPendingProgress(); }, false);
}

void QtRunHost::showPendingProgress() {
  ProgressNote note;
  int steps = 0;
  {
    std::lock_guard lock(progressMutex_);
    note = pendingNote_;
    steps = pendingSteps_;
    pendingSteps_ = 0;
  }
  if (dialog_) dialog_->showProgress(note, steps);
}

void QtRunHost::postDone() {
  onUiThread(
      [self = shared_from_this()] {
        if (self->dialog_) self->dialog_->finishRun();
      },
      false);
}

void QtRunHost::insertReportText(const std::string& text) {
  onUiThread(
      [self = shared_from_this(), text = fromUtf8(text)] {
        if (LinkingShell* shell = self->shell()) shell->appendReportText(self->outputId_, text);
      },
      false);
}
