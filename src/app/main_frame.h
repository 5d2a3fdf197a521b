// CMainFrame: the main window, with its documents, commands and runs.
//
// A multiple-document window: menus (the short set while no document window is open, the full
// set once one is), toolbar, status bar with the message pane and the CAP, NUM and SCRL
// indicators, and one child frame per view. It acts as the document template too: it creates
// documents, their views and frames, opens files, and keeps the recent-file list in the
// profile. It tracks the linking runs started from it so that quitting can stop them first.
#pragma once

#include <QMainWindow>
#include <QPointer>
#include <QPrinter>
#include <QHash>
#include <memory>
#include <optional>
#include <vector>

#include "dialogs/linking_shell.h"
#include "results/results_record.h"

class CChildFrame;
class CPellan1Doc;
class CPellan1View;
class HelpWindow;
class Profile;
class QLabel;
class QMdiArea;
class QMenu;
class QMdiSubWindow;
class ResultsWindow;
struct LinkingJob;

class CMainFrame : public QMainWindow, public LinkingShell {
  Q_OBJECT

 public:
  static constexpr const char* kIdleText = "Ready";

  explicit CMainFrame(Profile* profile, QWidget* parent = nullptr);
  ~CMainFrame() override;

  QAction* commandAction(int id) const;
  QMdiArea* mdiArea() const { return mdi_; }
  CPellan1View* activeView() const;
  QList<CPellan1Doc*> documents() const;
  Profile& profile() const { return *profile_; }

  // File > New: an empty document titled with the pending title.
  CPellan1View* fileNew();
  // Opens path as a document (or shows its window when it is open already). On failure
  // returns null; the message box is shown unless error is given, which then gets the text.
  CPellan1View* openDocumentFile(const QString& path, QString* error = nullptr);
  // A new document titled "Linking output from: " + path for a run; null when none can be
  // made, never an older window.
  CPellan1View* openOutputView(const QString& parameterFilePath);
  // The document of an output window, while it is open.
  CPellan1Doc* outputDocument(int outputId) const;

  // The message pane's text, and the run-ending pane's.
  QString statusText() const;
  QString runStatusText() const;

  int activeRunCount();

  // LinkingShell
  QWidget* shellWindow() override { return this; }
  int openOutputWindow(const QString& parameterFilePath) override;
  void appendReportText(int outputId, const QString& text) override;
  void setStatusText(const QString& text) override;
  void showRunEnding(const QString& text) override;
  void registerRun(std::shared_ptr<LinkingJob> job) override;
  int runThreads() const override;
  void noteRecentFile(const QString& path) override { addRecentFile(path); }
  void keepRunResults(int outputId, const RunResults& results, bool showResults) override;

  // The results of the finished run an output window belongs to; null while it runs.
  const ResultsRun* runResults(const CPellan1Doc* outputDocument) const;
  // A results window on a run's record; runNumber names its plot files.
  ResultsWindow* openResultsWindow(const ResultsRun& run, int runNumber = 1);
  // Opens a window on each run of a results file; false (after a message box) when the file
  // cannot be read as results.
  bool openResultsFile(const QString& path);
  // An output window's context menu: the editor's own, and Results for a run's window.
  QMenu* createViewContextMenu(CPellan1View* view, const QPoint& position);

  HelpWindow* helpWindow();

 public slots:
  void newLinkingIni();
  void loadLinkingIni();
  void runLinking();
  // Run > Results: the active output window's run, else the latest finished run, else a file.
  void showResults();
  // Runs the parameter file again without the given items and shows its results.
  void linkAgain(const QString& path, const std::vector<long long>& leaveOut);
  void helpContent();
  void helpSearch();
  void about();

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void createActions();
  void createMenus();
  void createToolBar();
  void createStatusBar();
  void connectCommands();
  void updateMenus();
  void updateRecentFileActions();
  void updateWindowTitle();

  CChildFrame* createFrame(CPellan1Doc* document);
  QSize initialFrameSize(const CPellan1View* view) const;
  void updateWindowList();
  CPellan1Doc* createDocument();
  void renumberFrames(CPellan1Doc* document);
  QList<CChildFrame*> framesOf(const CPellan1Doc* document) const;
  bool canCloseFrame(CChildFrame* frame);
  bool saveDocument(CPellan1Doc* document, bool askName);
  void addRecentFile(const QString& path);

  void fileOpen();
  void fileClose();
  void fileSave();
  void fileSaveAs();
  void filePrint();
  void filePrintPreview();
  void filePrintSetup();
  void openRecentFile(int index);
  void windowNew();
  void windowArrangeIcons();
  // The save prompt of a changed document; Done also when it was not changed.
  enum class SaveAnswer { Done, Discard, Cancelled };
  SaveAnswer askToSave(CPellan1Doc* document);
  bool confirmQuit();
  void stopRuns();
  QString initialSaveName(const CPellan1Doc* document) const;

  Profile* profile_;
  QMdiArea* mdi_ = nullptr;
  QMenu* fileMenu_ = nullptr;
  QMenu* editMenu_ = nullptr;
  QMenu* windowMenu_ = nullptr;
  QList<QAction*> windowList_;  // the Window menu's entries after its commands
  QAction* recentPlaceholder_ = nullptr;
  QLabel* indicators_[3] = {};
  QLabel* runStatus_ = nullptr;
  QPrinter printer_;
  QPointer<HelpWindow> helpWindow_;
  // The document template's memory: the title of the next new document.
  QString pendingTitle_;
  std::vector<std::shared_ptr<LinkingJob>> runs_;
  QHash<int, QPointer<CPellan1Doc>> outputs_;
  QHash<int, ResultsRun> runResults_;  // by output window
  std::optional<ResultsRun> latestResults_;
  int lastOutputId_ = 0;
  bool closing_ = false;
};
