// LinkingProgressDialog: the window of one linking run while it works.
//
// Shows the From, To and empirical files of the pair in work, a progress bar that advances one
// step (10 of 0..100, wrapping past the end) per progress post, and the search's step and
// criterion below. Stop asks the run to stop; Hide minimises the dialog; a close request acts
// as Stop while the worker still runs and closes the dialog once it has finished; the dialog
// is never left maximised and closes itself when the run is done. It shares the run's job
// with the worker, so either may end first.
//
// The title names the parameter file, and a dialog opened while another run's shows opens
// below and to the right of it, so several runs can be told apart. The dialog is not a
// transient of the main window: some window managers minimise a transient's whole group, and
// Hide must not take the main window with it.
#pragma once

#include <QDialog>
#include <memory>

#include "run/progress_note.h"

class LinkingShell;
class QLabel;
class QLineEdit;
class QProgressBar;
struct LinkingJob;

// The position after one step of a bar with the given range: past the end it wraps around.
int wrappingStep(int position, int step, int minimum, int maximum);

class LinkingProgressDialog : public QDialog {
  Q_OBJECT

 public:
  static constexpr int kStep = 10;

  LinkingProgressDialog(std::shared_ptr<LinkingJob> job, LinkingShell* shell);
  ~LinkingProgressDialog() override;

  // Opens the run's output window and starts the worker; call once, before showing. The
  // run's results go to the shell when its worker has finished (see RunResultsWatch).
  void startRun(bool showResultsWhenDone = false);

  // Called on the user-interface thread by the run's host.
  void showProgress(const ProgressNote& note, int steps);
  void finishRun();

  const std::shared_ptr<LinkingJob>& job() const { return job_; }
  QString parameterFilePath() const;
  // Shows a minimised or hidden dialog again, raised.
  void showAgain();
  QProgressBar* progressBar() const { return progressBar_; }

 public slots:
  void stop();
  void hideToIcon();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void changeEvent(QEvent* event) override;
  void reject() override;

 private:
  QLineEdit* createNameField(int id);
  void placeBesideOtherRuns();

  std::shared_ptr<LinkingJob> job_;
  LinkingShell* shell_;
  bool finished_ = false;
  QLineEdit* fromText_ = nullptr;
  QLineEdit* toText_ = nullptr;
  QLineEdit* empiricalText_ = nullptr;
  QProgressBar* progressBar_ = nullptr;
  QLabel* searchText_ = nullptr;
};
