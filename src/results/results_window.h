// ResultsWindow: one linking run's results, pair by pair, in a window of its own (not modal).
//
// Shows the chosen pair's transformation with its standard errors, its common items with
// their diagnostics, and its charts in tabs. "Save plots..." writes every chart of every
// linked pair of the run as PNG and SVG files into a chosen folder (the files torvak --plots
// writes). The item check boxes say which items the next link takes part: "Link again" runs
// the run's parameter file again without the unchecked items, "Link again without flagged
// items" without the flagged ones too. A run leaves the same positions out of every pair, so
// the boxes belong to the run, not to one pair. The window only asks for the new run
// (linkAgainRequested); its opener starts it.
#pragma once

#include <QWidget>
#include <set>
#include <vector>

#include "results/results_record.h"

class ItemTable;
class QComboBox;
class QLabel;
class QPushButton;
class QTabWidget;
class TransformationTable;

class ResultsWindow : public QWidget {
  Q_OBJECT

 public:
  // runNumber names the plot files ("run<N>-..."): the run's place in its results document.
  ResultsWindow(ResultsRun run, int runNumber, QWidget* parent = nullptr);

  const ResultsRun& run() const { return run_; }
  int currentPairIndex() const { return pairIndex_; }
  void showPair(int index);

  // The positions the next link leaves out: the unchecked ones, with or without the flagged.
  std::vector<long long> itemsToLeaveOut(bool withFlagged) const;
  // Writes the plot files into folder; false with the reason. written gets the paths.
  bool savePlotsTo(const QString& folder, QStringList* written, QString* error) const;

  TransformationTable* transformationTable() const { return transformation_; }
  ItemTable* itemTable() const { return items_; }
  QTabWidget* chartTabs() const { return charts_; }
  QComboBox* pairChooser() const { return pairChooser_; }
  QLabel* summary() const { return summary_; }

 signals:
  void linkAgainRequested(const QString& parameterFile, const std::vector<long long>& leaveOut);

 public slots:
  void savePlots();
  void linkAgain();
  void linkAgainWithoutFlagged();

 private:
  QWidget* createPairChooser();
  QWidget* createTables();
  QWidget* createButtons();
  void updateButtons();
  QString summaryText(const ResultsPair& pair) const;

  ResultsRun run_;
  int runNumber_;
  int pairIndex_ = -1;
  std::set<long long> leftOut_;  // unchecked positions, for every pair
  QComboBox* pairChooser_ = nullptr;
  QLabel* summary_ = nullptr;
  TransformationTable* transformation_ = nullptr;
  ItemTable* items_ = nullptr;
  QTabWidget* charts_ = nullptr;
  QPushButton* savePlotsButton_ = nullptr;
  QPushButton* linkAgainButton_ = nullptr;
  QPushButton* withoutFlaggedButton_ = nullptr;
};
