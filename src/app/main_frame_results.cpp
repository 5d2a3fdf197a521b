// CMainFrame's results: keeping each finished run's results, Run > Results, the output
// window's Results entry, results files, and linking again without chosen items.
#include <QFileDialog>
#include <QMenu>
#include <QMessageBox>

#include "app/main_frame.h"
#include "app/pellan1_doc.h"
#include "app/pellan1_view.h"
#include "dialogs/start_linking_run.h"
#include "results/results_window.h"
#include "results/run_record.h"

namespace {

const char* const kResultsEntry = "&Results...";
const char* const kStillRunning = "The run of this window has not finished yet: %1";
const char* const kOpenResults = "Open Results";
const char* const kResultsFilter = "Results (*.json);;All Files (*)";
const char* const kNoRuns = "%1 holds no run.";

}  // namespace

void CMainFrame::keepRunResults(int outputId, const RunResults& results, bool showResults) {
  if (closing_) return;
  const ResultsRead read = recordOfRun(results);
  if (!read.ok() || read.document.runs.empty()) {
    setStatusText("The run's results cannot be shown: " + QString::fromStdString(read.error));
    return;
  }
  const ResultsRun& run = read.document.runs.front();
  if (outputId != 0) runResults_.insert(outputId, run);
  latestResults_ = run;
  if (showResults) openResultsWindow(run);
}

const ResultsRun* CMainFrame::runResults(const CPellan1Doc* outputDocument) const {
  for (auto it = outputs_.begin(); it != outputs_.end(); ++it) {
    if (it.value() == outputDocument) {
      const auto found = runResults_.find(it.key());
      return found == runResults_.end() ? nullptr : &found.value();
    }
  }
  return nullptr;
}

ResultsWindow* CMainFrame::openResultsWindow(const ResultsRun& run, int runNumber) {
  auto* window = new ResultsWindow(run, runNumber, this);
  connect(window, &ResultsWindow::linkAgainRequested, this, &CMainFrame::linkAgain);
  window->show();
  window->raise();
  window->activateWindow();
  return window;
}

bool CMainFrame::openResultsFile(const QString& path) {
  const ResultsRead read = readResultsFile(QFile::encodeName(path).toStdString());
  if (!read.ok()) {
    QMessageBox::warning(this, kTitle, QString::fromStdString(read.error));
    return false;
  }
  if (read.document.runs.empty()) {
    QMessageBox::warning(this, kTitle, QString(kNoRuns).arg(path));
    return false;
  }
  for (std::size_t i = 0; i < read.document.runs.size(); ++i) {
    openResultsWindow(read.document.runs[i], static_cast<int>(i + 1));
  }
  return true;
}

void CMainFrame::showResults() {
  if (CPellan1View* view = activeView(); view && !view->doc()->runParameterFile().isEmpty()) {
    if (const ResultsRun* run = runResults(view->doc())) {
      openResultsWindow(*run);
    } else {
      setStatusText(QString(kStillRunning).arg(view->doc()->runParameterFile()));
    }
    return;
  }
  if (latestResults_) {
    openResultsWindow(*latestResults_);
    return;
  }
  QFileDialog dialog(this, kOpenResults);
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setFileMode(QFileDialog::ExistingFile);
  dialog.setNameFilter(kResultsFilter);
  if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()) {
    openResultsFile(dialog.selectedFiles().first());
  }
}

QMenu* CMainFrame::createViewContextMenu(CPellan1View* view, const QPoint& position) {
  QMenu* menu = view->createStandardContextMenu(position);
  CPellan1Doc* document = view->doc();
  if (document->runParameterFile().isEmpty()) return menu;
  menu->addSeparator();
  QAction* results = menu->addAction(kResultsEntry);
  results->setObjectName("showRunResults");
  results->setEnabled(runResults(document) != nullptr);
  connect(results, &QAction::triggered, this, [this, document = QPointer<CPellan1Doc>(document)] {
    if (!document) return;
    if (const ResultsRun* run = runResults(document)) openResultsWindow(*run);
  });
  return menu;
}

void CMainFrame::linkAgain(const QString& path, const std::vector<long long>& leaveOut) {
  DiagnosticsOptions options = desktopDiagnostics();
  options.excludedItems = leaveOut;
  StartLinkingRun(path, this, options, true);
}
