// The results window: the numbers of a fixture, the item check boxes and what "Link again"
// asks for, saving plots, and the desktop's way there: a finished run's results from Run >
// Results and from its output window, results files, and linking again without an item.
#include "results/results_window.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QTabWidget>
#include <algorithm>

#include "app/command_ids.h"
#include "app/gui_fixture.h"
#include "app/pellan1_doc.h"
#include "app/pellan1_view.h"
#include "dialogs/linking_progress_dialog.h"
#include "dialogs/start_linking_run.h"
#include "results/item_table.h"
#include "results/transformation_table.h"
#include "run/linking_job.h"

namespace {

const QString kFixture = TORVAK_SOURCE_DIR "/tests/results/two_dimensional_results.json";

ResultsRun fixtureRun() {
  const ResultsRead read = readResultsFile(kFixture.toStdString());
  EXPECT_TRUE(read.ok()) << read.error;
  return read.ok() ? read.document.runs.at(0) : ResultsRun{};
}

QString cell(const QTableWidget* table, int row, int column) {
  const QTableWidgetItem* item = table->item(row, column);
  return item ? item->text() : QString();
}

QStringList rowNames(const QTableWidget* table) {
  QStringList names;
  for (int row = 0; row < table->rowCount(); ++row) {
    names << table->verticalHeaderItem(row)->text();
  }
  return names;
}

QStringList column(const QTableWidget* table, int c) {
  QStringList values;
  for (int row = 0; row < table->rowCount(); ++row) values << cell(table, row, c);
  return values;
}

QStringList tabTitles(const QTabWidget* tabs) {
  QStringList titles;
  for (int i = 0; i < tabs->count(); ++i) titles << tabs->tabText(i);
  return titles;
}

void setChecked(ItemTable* table, long long item, bool checked) {
  const int row = table->rowOfItem(item);
  ASSERT_GE(row, 0) << item;
  table->item(row, ItemTable::Use)->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
}

}  // namespace

TEST(ResultsWindow, ShowsTheTransformationItemsAndChartsOfTheFixture) {
  ResultsWindow window(fixtureRun(), 1);
  EXPECT_EQ(window.windowTitle(), "Results: /data/forms.ini");
  EXPECT_EQ(window.pairChooser()->count(), 2);
  EXPECT_EQ(window.pairChooser()->itemText(0), "Pair 1 (entry 1): form_b.dat to form_a.dat");
  EXPECT_EQ(window.pairChooser()->itemText(1),
            "Pair 2 (entry 2): form_c.dat to form_a.dat - skipped");
  EXPECT_TRUE(window.summary()->text().contains("Model 4, 2 dimensions, 12 common items."));
  EXPECT_TRUE(window.summary()->text().contains("Left out: 5."));
  EXPECT_TRUE(window.summary()->text().contains("Drift cutoff 0.1 (RMSD): 2 flagged."));
  EXPECT_TRUE(window.summary()->text().contains(
      "Standard errors: bootstrap, 200 replications (1 failed), seed 1."));

  const TransformationTable* link = window.transformationTable();
  EXPECT_EQ(rowNames(link), (QStringList{"M 1,1", "M 1,2", "M 2,1", "M 2,2", "t 1", "t 2", "A 1,1",
                                         "A 1,2", "A 2,1", "A 2,2", "b 1", "b 2"}));
  ASSERT_EQ(link->columnCount(), 4);
  EXPECT_EQ(link->horizontalHeaderItem(3)->text(), "97.5 %");
  struct Cell {
    int row, column;
    const char* text;
  };
  for (const Cell& c : {Cell{0, 0, "0.909091"}, Cell{0, 1, "0.031200"}, Cell{0, 2, "0.847200"},
                        Cell{0, 3, "0.967100"}, Cell{1, 0, "-0.101010"}, Cell{4, 0, "-0.191919"},
                        Cell{5, 1, "0.038500"}, Cell{5, 3, "0.180200"}, Cell{6, 0, "1.100000"},
                        Cell{6, 1, ""}, Cell{11, 0, "-0.100000"}}) {
    EXPECT_EQ(cell(link, c.row, c.column), c.text) << c.row << "," << c.column;
  }

  // Items: sorted by share, largest first; the run's left-out item last, unchecked.
  const ItemTable* items = window.itemTable();
  ASSERT_EQ(items->rowCount(), 13);
  EXPECT_EQ(cell(items, 0, ItemTable::Item), "12");
  EXPECT_EQ(cell(items, 1, ItemTable::Item), "7");
  EXPECT_EQ(cell(items, 12, ItemTable::Item), "5");
  EXPECT_EQ(cell(items, 12, ItemTable::Flagged), "left out");
  EXPECT_EQ(items->item(12, ItemTable::Use)->checkState(), Qt::Unchecked);
  EXPECT_EQ(items->uncheckedItems(), std::set<long long>{5});
  double previous = HUGE_VAL;
  for (int row = 0; row < 12; ++row) {
    const double share = cell(items, row, ItemTable::Share).toDouble();
    EXPECT_LE(share, previous) << row;
    previous = share;
    const bool flagged = cell(items, row, ItemTable::Flagged) == "flagged";
    const QString item = cell(items, row, ItemTable::Item);
    EXPECT_EQ(flagged, item == "7" || item == "12") << item.toStdString();
    EXPECT_EQ(items->item(row, ItemTable::Rmsd)->background().color() == ItemTable::kFlaggedTint,
              flagged);
  }
  EXPECT_EQ(items->horizontalHeaderItem(ItemTable::FirstDifference + 1)->text(),
            "Slope 2 difference");
  // Sorting is by number, not by text: "12" after "7" by position.
  const_cast<ItemTable*>(items)->sortItems(ItemTable::Item, Qt::AscendingOrder);
  EXPECT_EQ(column(items, ItemTable::Item).mid(0, 5), (QStringList{"1", "2", "3", "4", "5"}));
  EXPECT_EQ(column(items, ItemTable::Item).last(), "13");

  EXPECT_EQ(tabTitles(window.chartTabs()),
            (QStringList{"Curves", "Axis 1", "Axis 2", "Shares and drift", "Parameters"}));

  window.pairChooser()->setCurrentIndex(1);
  EXPECT_EQ(window.currentPairIndex(), 1);
  EXPECT_TRUE(window.summary()->text().contains("not linked (skipped, status 3)"));
  EXPECT_EQ(window.transformationTable()->rowCount(), 0);
  EXPECT_EQ(window.itemTable()->rowCount(), 0);
  EXPECT_EQ(window.chartTabs()->count(), 0);
}

TEST(ResultsWindow, CheckBoxesAndFlagsSayWhatTheNextLinkLeavesOut) {
  ResultsWindow window(fixtureRun(), 1);
  std::vector<std::pair<QString, std::vector<long long>>> asked;
  QObject::connect(&window, &ResultsWindow::linkAgainRequested,
                   [&](const QString& path, const std::vector<long long>& leaveOut) {
                     asked.emplace_back(path, leaveOut);
                   });
  auto* linkAgain = window.findChild<QPushButton*>("linkAgain");
  auto* withoutFlagged = window.findChild<QPushButton*>("linkAgainWithoutFlagged");
  ASSERT_TRUE(linkAgain && withoutFlagged);
  EXPECT_TRUE(linkAgain->isEnabled());
  EXPECT_TRUE(withoutFlagged->isEnabled());

  struct Step {
    long long item;
    bool checked;
    std::vector<long long> leaveOut, withFlagged;
  };
  const Step steps[] = {
      {3, false, {3, 5}, {3, 5, 7, 12}},
      {5, true, {3}, {3, 7, 12}},    // the run's left-out item taken in again
      {7, false, {3, 7}, {3, 7, 12}},
      {3, true, {7}, {7, 12}},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(step.item);
    setChecked(window.itemTable(), step.item, step.checked);
    EXPECT_EQ(window.itemsToLeaveOut(false), step.leaveOut);
    EXPECT_EQ(window.itemsToLeaveOut(true), step.withFlagged);
  }
  linkAgain->click();
  withoutFlagged->click();
  ASSERT_EQ(asked.size(), 2u);
  EXPECT_EQ(asked[0].first, "/data/forms.ini");
  EXPECT_EQ(asked[0].second, (std::vector<long long>{7}));
  EXPECT_EQ(asked[1].second, (std::vector<long long>{7, 12}));

  // The boxes belong to the run: another pair and back keeps them.
  window.showPair(1);
  window.showPair(0);
  EXPECT_EQ(window.itemTable()->uncheckedItems(), std::set<long long>{7});
}

TEST(ResultsWindow, SavePlotsWritesTheFilesOfEveryLinkedPair) {
  TempDir dir;
  ResultsWindow window(fixtureRun(), 3);
  QStringList written;
  QString error;
  ASSERT_TRUE(window.savePlotsTo(QString::fromStdString(dir.path().string()), &written, &error))
      << error.toStdString();
  EXPECT_EQ(written.size(), 10);
  EXPECT_EQ(QDir(QString::fromStdString(dir.path().string())).entryList(QDir::Files).size(), 10);
  EXPECT_TRUE(written.first().endsWith("/run3-pair1-curves.png"));

  EXPECT_FALSE(window.savePlotsTo(QString::fromStdString(dir.file("missing/folder")), &written,
                                  &error));
  EXPECT_TRUE(error.startsWith("Cannot write ")) << error.toStdString();
}

// Without item diagnostics (an older document) the window still shows the link.
TEST(ResultsWindow, OlderResultsShowTheLinkWithoutItemsOrCharts) {
  ResultsRun run = fixtureRun();
  run.pairs.resize(1);
  run.pairs[0].items.clear();
  run.pairs[0].standardErrors.reset();
  run.pairs[0].excludedItems.clear();
  ResultsWindow window(run, 1);
  EXPECT_FALSE(window.pairChooser()->isVisibleTo(&window)) << "one pair: nothing to choose";
  EXPECT_EQ(window.transformationTable()->columnCount(), 1);
  EXPECT_EQ(window.transformationTable()->rowCount(), 12);
  EXPECT_EQ(window.itemTable()->rowCount(), 0);
  EXPECT_EQ(window.chartTabs()->count(), 0);
  EXPECT_TRUE(window.summary()->text().contains("no item diagnostics"));
  EXPECT_FALSE(window.findChild<QPushButton*>("savePlots")->isEnabled());
  EXPECT_FALSE(window.findChild<QPushButton*>("linkAgain")->isEnabled());
}

class DesktopResults : public GuiFixture {
 protected:
  QList<ResultsWindow*> resultsWindows() const { return frame_->findChildren<ResultsWindow*>(); }
};

// Run > Linking, then Results on its output window; then Link again without an item opens
// the new run's results by itself.
TEST_F(DesktopResults, FinishedRunOpensInTheResultsWindowAndLinksAgainWithoutAnItem) {
  const QString path = example("m4_3d_empirical");
  QPointer<LinkingProgressDialog> dialog = StartLinkingRun(path, frame_.get());
  const std::shared_ptr<LinkingJob> job = dialog->job();
  CPellan1View* view = outputView(path);
  ASSERT_NE(view, nullptr);
  ASSERT_TRUE(waitUntil([&] { return frame_->runResults(view->doc()) != nullptr; }));
  EXPECT_EQ(view->toPlainText(), expectedOutput("m4_3d_empirical")) << "the report as before";
  EXPECT_TRUE(resultsWindows().isEmpty()) << "a run's results open only when asked for";

  std::unique_ptr<QMenu> menu(frame_->createViewContextMenu(view, QPoint(5, 5)));
  auto* entry = menu->findChild<QAction*>("showRunResults");
  ASSERT_NE(entry, nullptr);
  EXPECT_TRUE(entry->isEnabled());
  entry->trigger();
  ASSERT_EQ(resultsWindows().size(), 1);
  resultsWindows().first()->close();
  ASSERT_TRUE(waitUntil([&] { return resultsWindows().isEmpty(); }));

  frame_->mdiArea()->setActiveSubWindow(frame_->mdiArea()->subWindowList().first());
  action(CommandId::ShowResults)->trigger();
  ASSERT_EQ(resultsWindows().size(), 1);
  ResultsWindow* window = resultsWindows().first();
  EXPECT_TRUE(window->isVisible());
  const PairOutcome& outcome = job->pairOutcomes.at(0);
  const TransformationTable* link = window->transformationTable();
  EXPECT_EQ(cell(link, 0, 0), QString::number(outcome.M[0], 'f', 6));
  EXPECT_EQ(cell(link, 8, 0), QString::number(outcome.M[8], 'f', 6));
  EXPECT_EQ(cell(link, 9, 0), QString::number(outcome.t[0], 'f', 6));
  ASSERT_EQ(link->columnCount(), 2) << "the desktop asks for jackknife errors";
  EXPECT_EQ(cell(link, 0, 1), QString::number(outcome.standardErrors->M[0], 'f', 6));
  EXPECT_EQ(window->itemTable()->rowCount(), 30);
  EXPECT_EQ(window->chartTabs()->count(), 6) << "curves, three axes, shares, parameters";

  setChecked(window->itemTable(), 3, false);
  window->findChild<QPushButton*>("linkAgain")->click();
  ASSERT_TRUE(waitUntil([&] { return resultsWindows().size() == 2; }));
  ResultsWindow* again = resultsWindows().last();
  ASSERT_NE(again, window);
  const ResultsPair& pair = again->run().pairs.at(0);
  EXPECT_EQ(pair.excludedItems, std::vector<long long>{3});
  EXPECT_EQ(pair.items.size(), 29u);
  EXPECT_EQ(again->itemTable()->rowCount(), 30) << "29 items and the one left out";
  EXPECT_EQ(again->itemTable()->uncheckedItems(), std::set<long long>{3});
  EXPECT_NE(again->run().pairs[0].M, window->run().pairs[0].M);
}

TEST_F(DesktopResults, ResultsFilesOpenOneWindowPerRunOrSayWhatIsWrong) {
  EXPECT_TRUE(frame_->openResultsFile(kFixture));
  ASSERT_EQ(resultsWindows().size(), 1);
  EXPECT_EQ(resultsWindows().first()->run().parameterFile, "/data/forms.ini");

  const QString bad = write("other.json", "{\"format\": \"something\"}");
  BoxAnswerer answer({"OK"});
  EXPECT_FALSE(frame_->openResultsFile(bad));
  ASSERT_EQ(answer.texts().size(), 1);
  EXPECT_TRUE(answer.texts()[0].contains("other.json: not a Torvak results document"))
      << answer.texts()[0].toStdString();
  EXPECT_EQ(resultsWindows().size(), 1);
}
