// TransformationTable: a linked pair's transformation as a table, one element a row.
//
// Rows M 1,1 ... M d,d, t 1 ... t d (theta_To = M theta_From + t), then A and b
// (theta_From = A theta_To + b); columns the estimate, its standard error and, from a
// bootstrap, the 2.5 % and 97.5 % bounds of its interval. The errors are those of M and t;
// A and b have none. A missing value shows as an empty cell.
#pragma once

#include <QTableWidget>

#include "results/results_record.h"

class TransformationTable : public QTableWidget {
  Q_OBJECT

 public:
  explicit TransformationTable(QWidget* parent = nullptr);

  // Empties the table for a pair that was not linked.
  void showPair(const ResultsPair& pair);
};
