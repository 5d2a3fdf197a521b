#include "results/item_table.h"

#include <QHeaderView>
#include <algorithm>
#include <cmath>

namespace {

constexpr int kSortRole = Qt::UserRole;
constexpr int kItemRole = Qt::UserRole + 1;

// Sorts by the number in kSortRole; cells without one go last in ascending order.
class NumberCell : public QTableWidgetItem {
 public:
  NumberCell(const QString& text, double key) : QTableWidgetItem(text) {
    setData(kSortRole, key);
    setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
  }
  bool operator<(const QTableWidgetItem& other) const override {
    return data(kSortRole).toDouble() < other.data(kSortRole).toDouble();
  }
};

QString numberText(double value, int digits = 4) {
  return std::isfinite(value) ? QString::number(value, 'g', digits) : QString();
}

NumberCell* numberCell(double value, int digits = 4) {
  return new NumberCell(numberText(value, digits), std::isfinite(value) ? value : -HUGE_VAL);
}

}  // namespace

const QColor ItemTable::kFlaggedTint(255, 215, 215);

ItemTable::ItemTable(QWidget* parent) : QTableWidget(parent) {
  setObjectName("itemTable");
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setSelectionBehavior(QAbstractItemView::SelectRows);
  verticalHeader()->setVisible(false);
  verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 8);
  horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
  connect(this, &QTableWidget::itemChanged, this, &ItemTable::noteCheck);
}

void ItemTable::showItems(const ResultsPair& pair, const std::set<long long>& leftOut) {
  filling_ = true;
  setSortingEnabled(false);
  clear();
  const int d = std::max(pair.dimension, 1);
  QStringList columns = {"Use", "Item", "Share", "RMSD", "Max difference", "Flagged"};
  for (int k = 0; k < d; ++k) {
    columns << (d == 1 ? QString("Slope difference") : QString("Slope %1 difference").arg(k + 1));
  }
  columns << "Intercept difference";
  setColumnCount(static_cast<int>(columns.size()));
  setHorizontalHeaderLabels(columns);
  horizontalHeaderItem(Use)->setToolTip("Checked items take part when you link again");
  horizontalHeaderItem(Share)->setToolTip("The item's share of the criterion");
  horizontalHeaderItem(Rmsd)->setToolTip(
      "Root mean square difference of the item's response, From after the link against To, "
      "over the run's points");

  std::vector<long long> leftOutRows(pair.excludedItems.begin(), pair.excludedItems.end());
  setRowCount(static_cast<int>(pair.items.size() + leftOutRows.size()));
  auto useCell = [&](long long item, bool checked) {
    auto* cell = new NumberCell(QString(), checked ? 1.0 : 0.0);
    cell->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
    cell->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
    cell->setData(kItemRole, item);
    return cell;
  };
  int row = 0;
  for (const ResultsItem& item : pair.items) {
    setItem(row, Use, useCell(item.item, !leftOut.count(item.item)));
    auto* number = new NumberCell(QString::number(item.item), static_cast<double>(item.item));
    if (!item.model.empty()) {
      number->setText(QString("%1 (%2, %3)")
                          .arg(item.item)
                          .arg(QString::fromStdString(item.model))
                          .arg(item.categories));
      number->setToolTip(QString("%1 categories; its RMSD is over all of their probabilities")
                             .arg(item.categories));
    }
    setItem(row, Item, number);
    setItem(row, Share, item.share ? numberCell(*item.share) : new NumberCell({}, -HUGE_VAL));
    setItem(row, Rmsd, numberCell(item.rmsd));
    setItem(row, MaxDifference, numberCell(item.maxDifference));
    auto* flag = new NumberCell(item.flagged ? "flagged" : "", item.flagged ? 1.0 : 0.0);
    flag->setTextAlignment(Qt::AlignCenter);
    setItem(row, Flagged, flag);
    for (int k = 0; k < d && k < static_cast<int>(item.slopeDifferences.size()); ++k) {
      setItem(row, FirstDifference + k, numberCell(item.slopeDifferences[k]));
    }
    setItem(row, FirstDifference + d, numberCell(item.interceptDifference));
    if (item.flagged) {
      for (int c = 0; c < columnCount(); ++c) {
        if (QTableWidgetItem* cell = this->item(row, c)) cell->setBackground(kFlaggedTint);
      }
      QFont bold = flag->font();
      bold.setBold(true);
      flag->setFont(bold);
      flag->setForeground(QColor(160, 0, 0));
    }
    ++row;
  }
  for (long long item : leftOutRows) {
    setItem(row, Use, useCell(item, !leftOut.count(item)));
    setItem(row, Item, new NumberCell(QString::number(item), static_cast<double>(item)));
    auto* note = new NumberCell("left out", -HUGE_VAL);
    note->setForeground(Qt::gray);
    setItem(row, Flagged, note);
    ++row;
  }
  setSortingEnabled(true);
  const bool withShares = std::any_of(pair.items.begin(), pair.items.end(),
                                      [](const ResultsItem& i) { return i.share.has_value(); });
  sortItems(withShares ? Share : Rmsd, Qt::DescendingOrder);
  filling_ = false;
}

std::set<long long> ItemTable::uncheckedItems() const {
  std::set<long long> items;
  for (int row = 0; row < rowCount(); ++row) {
    const QTableWidgetItem* cell = item(row, Use);
    if (cell && cell->checkState() != Qt::Checked) items.insert(cell->data(kItemRole).toLongLong());
  }
  return items;
}

int ItemTable::rowOfItem(long long position) const {
  for (int row = 0; row < rowCount(); ++row) {
    const QTableWidgetItem* cell = item(row, Use);
    if (cell && cell->data(kItemRole).toLongLong() == position) return row;
  }
  return -1;
}

void ItemTable::noteCheck(QTableWidgetItem* cell) {
  if (filling_ || cell->column() != Use) return;
  const bool checked = cell->checkState() == Qt::Checked;
  // Keep the sort key in step, so that sorting by the box groups the unchecked items.
  filling_ = true;
  cell->setData(kSortRole, checked ? 1.0 : 0.0);
  filling_ = false;
  emit itemCheckChanged(cell->data(kItemRole).toLongLong(), checked);
}
