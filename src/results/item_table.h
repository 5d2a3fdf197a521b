// ItemTable: the common items of a linked pair with their diagnostics, one item a row.
//
// Columns: a check box (the item takes part in the next link), the item's position in the To
// file, its share of the criterion, the RMSD and largest difference of its response, its drift
// flag, and the differences of its transformed From parameters from the To ones. Flagged rows
// are tinted red. Items a run left out stand at the end, unchecked and without numbers, so
// that checking one links it again. Sorting is numeric; the table opens sorted by share
// (by RMSD when there are no shares), largest first.
#pragma once

#include <QTableWidget>
#include <set>

#include "results/results_record.h"

class ItemTable : public QTableWidget {
  Q_OBJECT

 public:
  enum Column { Use, Item, Share, Rmsd, MaxDifference, Flagged, FirstDifference };
  static const QColor kFlaggedTint;

  explicit ItemTable(QWidget* parent = nullptr);

  // Fills the table; items in leftOut (and those the pair left out) start unchecked.
  void showItems(const ResultsPair& pair, const std::set<long long>& leftOut);
  // The positions whose check box is cleared.
  std::set<long long> uncheckedItems() const;
  // The row of an item's position, or -1.
  int rowOfItem(long long item) const;

 signals:
  // The user checked or cleared an item's box.
  void itemCheckChanged(long long item, bool checked);

 private:
  void noteCheck(QTableWidgetItem* cell);
  bool filling_ = false;
};
