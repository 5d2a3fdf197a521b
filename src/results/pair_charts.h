// PairCharts: the charts of one linked pair, built with Qt Charts from its result record.
//
//   curves       the test characteristic curves of To, of From before the link and of From
//                after it; for d >= 2 along the first principal direction of the To slopes
//   axis1 ...    (d >= 2) the same along each axis, the other coordinates 0
//   shares       each item's share of the criterion as bars and its RMSD against the drift
//                cutoff (the RMSD as bars when there are no shares); flagged items in red
//   parameters   transformed From slopes and intercepts against the To ones, with the identity
//
// Every chart needs the pair's item diagnostics: a pair without them has none. The window
// shows these charts and the plot files are rendered from them, so both always agree.
#pragma once

#include <QString>
#include <QtCharts/QChart>
#include <memory>
#include <vector>

#include "results/results_record.h"

struct PairChart {
  QString key;    // "curves", "axis2", "shares", "parameters": the last part of its file name
  QString title;  // short, for a tab
  std::unique_ptr<QChart> chart;
};

std::vector<PairChart> buildPairCharts(const ResultsPair& pair);

// One chart each; exposed for the tests.
std::unique_ptr<QChart> curvesChart(const ResultsPair& pair, const std::vector<double>& direction,
                                    const QString& title, const QString& axisTitle);
std::unique_ptr<QChart> sharesChart(const ResultsPair& pair);
std::unique_ptr<QChart> parametersChart(const ResultsPair& pair);
