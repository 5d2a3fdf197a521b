#include "results/transformation_table.h"

#include <QHeaderView>
#include <cmath>

namespace {

QString valueText(double value) {
  return std::isfinite(value) ? QString::number(value, 'f', 6) : QString();
}

// Element (r, c) of a matrix that may be empty, else NaN.
double at(const RowMatrix& m, int r, int c) {
  return r < static_cast<int>(m.size()) ? m[r][c] : std::nan("");
}

double at(const std::vector<double>& v, int r) {
  return r < static_cast<int>(v.size()) ? v[r] : std::nan("");
}

}  // namespace

TransformationTable::TransformationTable(QWidget* parent) : QTableWidget(parent) {
  setObjectName("transformationTable");
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setSelectionMode(QAbstractItemView::ContiguousSelection);
  horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
  verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
}

void TransformationTable::showPair(const ResultsPair& pair) {
  clear();
  setRowCount(0);
  setColumnCount(0);
  if (!pair.linked()) return;
  const bool withErrors = pair.standardErrors.has_value();
  const bool withInterval = withErrors && pair.standardErrors->hasInterval();
  QStringList columns = {"Estimate"};
  if (withErrors) columns << "Standard error";
  if (withInterval) columns << "2.5 %" << "97.5 %";
  setColumnCount(static_cast<int>(columns.size()));
  setHorizontalHeaderLabels(columns);

  static const ResultsErrors kNone;
  const ResultsErrors& e = withErrors ? *pair.standardErrors : kNone;
  QStringList rows;
  auto addRow = [&](const QString& name, double estimate, double error, double lower,
                    double upper) {
    const int row = rowCount();
    insertRow(row);
    rows << name;
    const double values[] = {estimate, error, lower, upper};
    for (int column = 0; column < columnCount(); ++column) {
      auto* cell = new QTableWidgetItem(valueText(values[column]));
      cell->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
      setItem(row, column, cell);
    }
  };
  const int d = pair.dimension;
  const double none = std::nan("");
  if (!pair.M.empty()) {
    for (int r = 0; r < d; ++r) {
      for (int c = 0; c < d; ++c) {
        addRow(QString("M %1,%2").arg(r + 1).arg(c + 1), pair.M[r][c], at(e.M, r, c),
               at(e.lowerM, r, c), at(e.upperM, r, c));
      }
    }
    for (int r = 0; r < d; ++r) {
      addRow(QString("t %1").arg(r + 1), pair.t[r], at(e.t, r), at(e.lowerT, r), at(e.upperT, r));
    }
  }
  for (int r = 0; r < d; ++r) {
    for (int c = 0; c < d; ++c) {
      addRow(QString("A %1,%2").arg(r + 1).arg(c + 1), pair.A[r][c], none, none, none);
    }
  }
  for (int r = 0; r < d; ++r) addRow(QString("b %1").arg(r + 1), pair.b[r], none, none, none);
  setVerticalHeaderLabels(rows);
}
