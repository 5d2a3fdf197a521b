#include "results/results_window.h"

#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QSplitter>
#include <QTabWidget>
#include <QVBoxLayout>
#include <QtCharts/QChartView>
#include <algorithm>
#include <cmath>

#include "results/chart_files.h"
#include "results/item_table.h"
#include "results/pair_charts.h"
#include "results/transformation_table.h"

namespace {

// Every text of the window.
namespace text {
const char* const kCaption = "Torvak";
const char* const kTitle = "Results: %1";
const char* const kPair = "&Pair:";
const char* const kTransformation =
    "theta_To = M theta_From + t and theta_From = A theta_To + b";
const char* const kItems = "Common items (uncheck an item to link again without it)";
const char* const kNoCharts =
    "These results hold no item diagnostics, so there are no item rows and no charts.";
const char* const kSavePlots = "&Save plots...";
const char* const kLinkAgain = "&Link again";
const char* const kWithoutFlagged = "Link again &without flagged items";
const char* const kClose = "&Close";
const char* const kChooseFolder = "Save plots into folder";
const char* const kSaved = "Saved %1 files in %2.";
const char* const kNotSaved = "The plots were not all saved.\n%1.";
const char* const kNothingToSave = "No pair of this run has charts to save.";
const char* const kLinkAgainTip =
    "Runs %1 again, leaving out the unchecked items of every pair";
const char* const kWithoutFlaggedTip =
    "Runs %1 again, leaving out the flagged items (of any pair) and the unchecked ones";
}  // namespace text

QString fromUtf8(const std::string& s) { return QString::fromStdString(s); }

QString positions(const std::vector<long long>& items) {
  QStringList parts;
  for (long long item : items) parts << QString::number(item);
  return parts.join(", ");
}

QString pairLabel(const ResultsPair& pair) {
  QString label = QString("Pair %1 (entry %2): %3 to %4")
                      .arg(pair.pair)
                      .arg(pair.entry)
                      .arg(QFileInfo(fromUtf8(pair.fromFile)).fileName(),
                           QFileInfo(fromUtf8(pair.toFile)).fileName());
  if (!pair.linked()) label += " - " + fromUtf8(pair.result);
  return label;
}

}  // namespace

ResultsWindow::ResultsWindow(ResultsRun run, int runNumber, QWidget* parent)
    : QWidget(parent, Qt::Window), run_(std::move(run)), runNumber_(runNumber) {
  setObjectName("resultsWindow");
  setAttribute(Qt::WA_DeleteOnClose);
  setWindowTitle(QString(text::kTitle).arg(fromUtf8(run_.parameterFile)));
  for (const ResultsPair& pair : run_.pairs) {
    leftOut_.insert(pair.excludedItems.begin(), pair.excludedItems.end());
  }

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(createPairChooser());
  summary_ = new QLabel;
  summary_->setObjectName("resultsSummary");
  summary_->setWordWrap(true);
  summary_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  layout->addWidget(summary_);
  auto* splitter = new QSplitter(Qt::Horizontal);
  splitter->addWidget(createTables());
  charts_ = new QTabWidget;
  charts_->setObjectName("chartTabs");
  splitter->addWidget(charts_);
  splitter->setStretchFactor(0, 2);
  splitter->setStretchFactor(1, 3);
  layout->addWidget(splitter, 1);
  layout->addWidget(createButtons());

  const auto firstLinked = std::find_if(run_.pairs.begin(), run_.pairs.end(),
                                        [](const ResultsPair& p) { return p.linked(); });
  showPair(firstLinked == run_.pairs.end() ? 0 : int(firstLinked - run_.pairs.begin()));
  resize(1200, 720);
}

QWidget* ResultsWindow::createPairChooser() {
  auto* row = new QWidget;
  auto* layout = new QHBoxLayout(row);
  layout->setContentsMargins(0, 0, 0, 0);
  pairChooser_ = new QComboBox;
  pairChooser_->setObjectName("pairChooser");
  for (const ResultsPair& pair : run_.pairs) pairChooser_->addItem(pairLabel(pair));
  auto* label = new QLabel(text::kPair);
  label->setBuddy(pairChooser_);
  layout->addWidget(label);
  layout->addWidget(pairChooser_, 1);
  row->setVisible(run_.pairs.size() > 1);
  connect(pairChooser_, &QComboBox::currentIndexChanged, this, &ResultsWindow::showPair);
  return row;
}

QWidget* ResultsWindow::createTables() {
  auto* panel = new QWidget;
  auto* layout = new QVBoxLayout(panel);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(new QLabel(text::kTransformation));
  transformation_ = new TransformationTable;
  layout->addWidget(transformation_, 2);
  layout->addWidget(new QLabel(text::kItems));
  items_ = new ItemTable;
  layout->addWidget(items_, 3);
  connect(items_, &ItemTable::itemCheckChanged, this, [this](long long item, bool checked) {
    if (checked)
      leftOut_.erase(item);
    else
      leftOut_.insert(item);
  });
  return panel;
}

QWidget* ResultsWindow::createButtons() {
  auto* row = new QWidget;
  auto* layout = new QHBoxLayout(row);
  layout->setContentsMargins(0, 0, 0, 0);
  savePlotsButton_ = new QPushButton(text::kSavePlots);
  savePlotsButton_->setObjectName("savePlots");
  linkAgainButton_ = new QPushButton(text::kLinkAgain);
  linkAgainButton_->setObjectName("linkAgain");
  withoutFlaggedButton_ = new QPushButton(text::kWithoutFlagged);
  withoutFlaggedButton_->setObjectName("linkAgainWithoutFlagged");
  auto* close = new QPushButton(text::kClose);
  const QString file = QFileInfo(fromUtf8(run_.parameterFile)).fileName();
  linkAgainButton_->setToolTip(QString(text::kLinkAgainTip).arg(file));
  withoutFlaggedButton_->setToolTip(QString(text::kWithoutFlaggedTip).arg(file));
  layout->addWidget(savePlotsButton_);
  layout->addStretch(1);
  layout->addWidget(linkAgainButton_);
  layout->addWidget(withoutFlaggedButton_);
  layout->addWidget(close);
  connect(savePlotsButton_, &QPushButton::clicked, this, &ResultsWindow::savePlots);
  connect(linkAgainButton_, &QPushButton::clicked, this, &ResultsWindow::linkAgain);
  connect(withoutFlaggedButton_, &QPushButton::clicked, this,
          &ResultsWindow::linkAgainWithoutFlagged);
  connect(close, &QPushButton::clicked, this, &QWidget::close);
  return row;
}

void ResultsWindow::showPair(int index) {
  if (index < 0 || index >= static_cast<int>(run_.pairs.size())) {
    summary_->setText(QString());
    updateButtons();
    return;
  }
  pairIndex_ = index;
  if (pairChooser_->currentIndex() != index) pairChooser_->setCurrentIndex(index);
  const ResultsPair& pair = run_.pairs[index];
  summary_->setText(summaryText(pair));
  transformation_->showPair(pair);
  items_->showItems(pair, leftOut_);
  while (charts_->count() > 0) {
    QWidget* page = charts_->widget(0);
    charts_->removeTab(0);
    delete page;
  }
  for (PairChart& chart : buildPairCharts(pair)) {
    auto* view = new QChartView(chart.chart.release());
    view->setObjectName("chart_" + chart.key);
    view->setRenderHint(QPainter::Antialiasing);
    charts_->addTab(view, chart.title);
  }
  updateButtons();
}

QString ResultsWindow::summaryText(const ResultsPair& pair) const {
  QString s = QString("%1 to %2 (entry %3): ")
                  .arg(QFileInfo(fromUtf8(pair.fromFile)).fileName(),
                       QFileInfo(fromUtf8(pair.toFile)).fileName())
                  .arg(pair.entry);
  if (!pair.linked()) {
    s += QString("not linked (%1, status %2).").arg(fromUtf8(pair.result)).arg(pair.status);
    if (!pair.message.empty()) s += " " + fromUtf8(pair.message).trimmed();
    return s;
  }
  s += QString("Model %1, %2 %3, %4 common items.")
           .arg(pair.model)
           .arg(pair.dimension)
           .arg(pair.dimension == 1 ? "dimension" : "dimensions")
           .arg(pair.itemCount);
  if (pair.criterion) s += QString(" Criterion %1.").arg(*pair.criterion, 0, 'g', 7);
  if (!pair.excludedItems.empty()) s += " Left out: " + positions(pair.excludedItems) + ".";
  if (pair.driftCutoff) {
    const auto flagged = std::count_if(pair.items.begin(), pair.items.end(),
                                       [](const ResultsItem& i) { return i.flagged; });
    s += QString(" Drift cutoff %1 (RMSD): %2 flagged.").arg(*pair.driftCutoff).arg(flagged);
  }
  if (const auto& e = pair.standardErrors) {
    s += QString(" Standard errors: %1, %2 replications").arg(fromUtf8(e->method)).arg(e->replications);
    if (e->failed > 0) s += QString(" (%1 failed)").arg(e->failed);
    if (e->seed) s += QString(", seed %1").arg(*e->seed);
    s += ".";
  }
  if (!pair.diagnosticsNote.empty()) s += " " + fromUtf8(pair.diagnosticsNote) + ".";
  if (pair.items.empty()) s += "\n" + QString(text::kNoCharts);
  return s;
}

void ResultsWindow::updateButtons() {
  const bool anyItems = std::any_of(run_.pairs.begin(), run_.pairs.end(),
                                    [](const ResultsPair& p) { return !p.items.empty(); });
  const bool anyFlagged = std::any_of(run_.pairs.begin(), run_.pairs.end(), [](const ResultsPair& p) {
    return std::any_of(p.items.begin(), p.items.end(), [](const ResultsItem& i) { return i.flagged; });
  });
  const bool canRun = !run_.parameterFile.empty();
  savePlotsButton_->setEnabled(anyItems);
  linkAgainButton_->setEnabled(canRun && anyItems);
  withoutFlaggedButton_->setEnabled(canRun && anyFlagged);
}

std::vector<long long> ResultsWindow::itemsToLeaveOut(bool withFlagged) const {
  std::set<long long> items = leftOut_;
  if (withFlagged) {
    for (const ResultsPair& pair : run_.pairs) {
      for (const ResultsItem& item : pair.items) {
        if (item.flagged) items.insert(item.item);
      }
    }
  }
  return {items.begin(), items.end()};
}

bool ResultsWindow::savePlotsTo(const QString& folder, QStringList* written, QString* error) const {
  for (const ResultsPair& pair : run_.pairs) {
    if (!savePairCharts(pair, runNumber_, folder, written, error)) return false;
  }
  return true;
}

void ResultsWindow::savePlots() {
  QFileDialog dialog(this, text::kChooseFolder,
                     QFileInfo(fromUtf8(run_.parameterFile)).absolutePath());
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setFileMode(QFileDialog::Directory);
  dialog.setOption(QFileDialog::ShowDirsOnly);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
  const QString folder = dialog.selectedFiles().first();
  QStringList written;
  QString error;
  if (!savePlotsTo(folder, &written, &error)) {
    QMessageBox::warning(this, text::kCaption, QString(text::kNotSaved).arg(error));
  } else if (written.isEmpty()) {
    QMessageBox::information(this, text::kCaption, text::kNothingToSave);
  } else {
    QMessageBox::information(this, text::kCaption,
                             QString(text::kSaved).arg(written.size()).arg(folder));
  }
}

void ResultsWindow::linkAgain() {
  emit linkAgainRequested(fromUtf8(run_.parameterFile), itemsToLeaveOut(false));
}

void ResultsWindow::linkAgainWithoutFlagged() {
  emit linkAgainRequested(fromUtf8(run_.parameterFile), itemsToLeaveOut(true));
}
