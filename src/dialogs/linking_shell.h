// LinkingShell: what the linking dialogs and a run's host need of the window that opens them.
//
// The main window implements it; the dialogs know only this interface, so the desktop's
// layers depend one way (the main window on the dialogs, never back). Every call is made on
// the user-interface thread.
#pragma once

#include <QString>
#include <memory>

class QWidget;
struct LinkingJob;
struct RunResults;

class LinkingShell {
 public:
  // The caption of every message box of the program.
  static constexpr const char* kTitle = "Torvak";

  virtual ~LinkingShell() = default;

  // The window that owns the dialogs and their message boxes.
  virtual QWidget* shellWindow() = 0;

  // Opens a run's output window, titled "Linking output from: " + the path. Returns the id
  // by which report text reaches it, or 0 when no window could be made.
  virtual int openOutputWindow(const QString& parameterFilePath) = 0;
  // Report text for an output window; dropped once that window is gone.
  virtual void appendReportText(int outputId, const QString& text) = 0;

  // A passing note on the status bar (replaced by the next one, or by "Ready").
  virtual void setStatusText(const QString& text) = 0;
  // How a run ended; it stays on the status bar until the next run ends.
  virtual void showRunEnding(const QString& text) = 0;

  // A run started from this shell; quitting asks before it stops it.
  virtual void registerRun(std::shared_ptr<LinkingJob> job) = 0;
  // Threads for the runs' evaluations (0: one per core).
  virtual int runThreads() const = 0;
  // A file the user saved or linked from a dialog: it enters the recent-file list.
  virtual void noteRecentFile(const QString& path) = 0;
  // A run has finished (its worker too): its results, for the run's output window (0: none),
  // and whether its results are to be shown at once.
  virtual void keepRunResults(int outputId, const RunResults& results, bool showResults) {
    (void)outputId, (void)results, (void)showResults;
  }
};
