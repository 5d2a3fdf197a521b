// QtRunHost: a linking run's surroundings in the desktop program.
//
// Every call comes from the run's worker thread and is carried to the user-interface thread.
// A message box is shown there, application-modal, and the worker waits for the answer
// (blocking queued call); everything else is queued and the worker goes on. Progress posts
// are coalesced: while one is waiting to be shown, later ones only add a step and replace
// the note, so a fast search cannot flood the event queue, and the progress bar still
// advances once per post. The windows are held by QPointer and read on the user-interface
// thread only: a closed output window, progress dialog or main window simply receives
// nothing more (the report file still gets every block).
#pragma once

#include <QPointer>
#include <QWidget>
#include <memory>
#include <mutex>

#include "run/run_host.h"

class LinkingProgressDialog;
class LinkingShell;

class QtRunHost : public RunHost, public std::enable_shared_from_this<QtRunHost> {
 public:
  // Construct on the user-interface thread; outputId is the shell's output window (0: none).
  QtRunHost(LinkingShell* shell, LinkingProgressDialog* dialog, int outputId);

  MessageAnswer showMessage(const std::string& text, const std::string& caption,
                            MessageButtons buttons) override;
  void beep() override;
  void setStatusText(const std::string& text) override;
  void announceEnding(const RunEnding& ending) override;
  void postProgress(const ProgressNote& note) override;
  void postDone() override;
  void insertReportText(const std::string& text) override;

 private:
  void showPendingProgress();
  // The shell while its window lives (user-interface thread only).
  LinkingShell* shell() const { return shellWindow_ ? shell_ : nullptr; }

  LinkingShell* shell_;
  QPointer<QWidget> shellWindow_;
  QPointer<LinkingProgressDialog> dialog_;
  int outputId_;

  std::mutex progressMutex_;
  ProgressNote pendingNote_;
  int pendingSteps_ = 0;  // posts not yet shown; a show is queued while nonzero
};
