#include "results/pair_charts.h"

#include <QPen>
#include <QtCharts/QBarCategoryAxis>
#include <QtCharts/QBarSet>
#include <QtCharts/QLegend>
#include <QtCharts/QLineSeries>
#include <QtCharts/QScatterSeries>
#include <QtCharts/QStackedBarSeries>
#include <QtCharts/QValueAxis>
#include <algorithm>
#include <cmath>

#include "results/characteristic_curves.h"
#include "results/principal_direction.h"

namespace {

const QColor kToColour(31, 119, 180);
const QColor kBeforeColour(150, 150, 150);
const QColor kAfterColour(214, 39, 40);
const QColor kItemColour(70, 130, 180);
const QColor kFlaggedColour(214, 39, 40);
const QColor kCutoffColour(40, 40, 40);
// The slopes' coordinates, then the intercepts.
const QColor kParameterColours[] = {{31, 119, 180}, {44, 160, 44},  {148, 103, 189},
                                    {140, 86, 75},  {227, 119, 194}, {188, 189, 34}};
const QColor kInterceptColour(255, 127, 14);

QString number(double value) { return QString::number(value, 'g', 3); }

std::unique_ptr<QChart> newChart(const QString& title) {
  auto chart = std::make_unique<QChart>();
  chart->setTitle(title);
  chart->legend()->setAlignment(Qt::AlignBottom);
  chart->setAnimationOptions(QChart::NoAnimation);
  return chart;
}

QValueAxis* valueAxis(QChart* chart, const QString& title, Qt::Alignment where) {
  auto* axis = new QValueAxis;
  axis->setTitleText(title);
  chart->addAxis(axis, where);
  return axis;
}

template <typename Series>
Series* addSeries(QChart* chart, Series* series, QAbstractAxis* x, QAbstractAxis* y) {
  chart->addSeries(series);
  series->attachAxis(x);
  series->attachAxis(y);
  return series;
}

QLineSeries* line(const QString& name, const QColor& colour, qreal width, Qt::PenStyle style) {
  auto* series = new QLineSeries;
  series->setName(name);
  QPen pen(colour, width);
  pen.setStyle(style);
  series->setPen(pen);
  return series;
}

QScatterSeries* scatter(const QString& name, const QColor& colour, qreal size) {
  auto* series = new QScatterSeries;
  series->setName(name);
  series->setColor(colour);
  series->setBorderColor(colour.darker(130));
  series->setMarkerSize(size);
  return series;
}

// "(0.71, 0.71)"
QString vectorText(const std::vector<double>& u) {
  QStringList parts;
  for (double x : u) parts << QString::number(x, 'f', 2);
  return "(" + parts.join(", ") + ")";
}

std::vector<std::vector<double>> toSlopes(const ResultsPair& pair) {
  std::vector<std::vector<double>> slopes;
  for (const ResultsItem& item : pair.items) slopes.push_back(item.to.slopes);
  return slopes;
}

// Items by their position in the To file, as the bars stand.
std::vector<const ResultsItem*> itemsInFileOrder(const ResultsPair& pair) {
  std::vector<const ResultsItem*> items;
  for (const ResultsItem& item : pair.items) items.push_back(&item);
  std::stable_sort(items.begin(), items.end(),
                   [](const ResultsItem* a, const ResultsItem* b) { return a->item < b->item; });
  return items;
}

double finiteOrZero(double value) { return std::isfinite(value) ? value : 0.0; }

}  // namespace

std::unique_ptr<QChart> curvesChart(const ResultsPair& pair, const std::vector<double>& direction,
                                    const QString& title, const QString& axisTitle) {
  const auto [low, high] = curveRange(pair);
  const CharacteristicCurves curves = characteristicCurves(pair.items, direction, low, high);
  auto chart = newChart(title);
  QValueAxis* x = valueAxis(chart.get(), axisTitle, Qt::AlignBottom);
  QValueAxis* y = valueAxis(chart.get(), "Expected score (sum of P over the common items)",
                            Qt::AlignLeft);
  x->setRange(low, high);
  y->setRange(0.0, static_cast<double>(pair.items.size()));
  auto* before = line("From before the link", kBeforeColour, 2.0, Qt::DashLine);
  auto* to = line("To", kToColour, 4.0, Qt::SolidLine);
  auto* after = line("From after the link", kAfterColour, 2.0, Qt::DashDotLine);
  for (std::size_t i = 0; i < curves.s.size(); ++i) {
    before->append(curves.s[i], curves.fromBefore[i]);
    to->append(curves.s[i], curves.to[i]);
    after->append(curves.s[i], curves.fromAfter[i]);
  }
  // After on top: where the link works it covers the wider To curve.
  addSeries(chart.get(), before, x, y);
  addSeries(chart.get(), to, x, y);
  addSeries(chart.get(), after, x, y);
  return chart;
}

std::unique_ptr<QChart> sharesChart(const ResultsPair& pair) {
  const std::vector<const ResultsItem*> items = itemsInFileOrder(pair);
  const bool withShares = std::any_of(items.begin(), items.end(),
                                      [](const ResultsItem* i) { return i->share.has_value(); });
  auto chart = newChart(withShares ? "Shares of the criterion and item drift (RMSD)"
                                   : "Item drift (RMSD)");
  auto* x = new QBarCategoryAxis;
  x->setTitleText("Item (position in the To file)");
  if (items.size() > 24) x->setLabelsAngle(-90);
  chart->addAxis(x, Qt::AlignBottom);
  QValueAxis* barAxis =
      valueAxis(chart.get(), withShares ? "Share of the criterion (bars)" : "RMSD (bars)",
                Qt::AlignLeft);
  QValueAxis* rmsdAxis = withShares ? valueAxis(chart.get(), "RMSD (points)", Qt::AlignRight)
                                    : barAxis;

  const QString barName = withShares ? "Share" : "RMSD";
  auto* plain = new QBarSet(barName);
  auto* flagged = new QBarSet(barName + ", flagged item");
  plain->setColor(kItemColour);
  flagged->setColor(kFlaggedColour);
  auto* rmsd = scatter("RMSD", kCutoffColour, 10.0);
  auto* rmsdFlagged = scatter("RMSD, flagged item", kFlaggedColour, 12.0);
  for (QScatterSeries* points : {rmsd, rmsdFlagged}) {
    points->setMarkerShape(QScatterSeries::MarkerShapeRotatedRectangle);
    points->setBorderColor(Qt::black);  // seen on a red bar as well
  }
  double barTop = 0.0, barBottom = 0.0, rmsdTop = 0.0;
  for (std::size_t i = 0; i < items.size(); ++i) {
    const ResultsItem& item = *items[i];
    x->append(QString::number(item.item));
    const double bar = finiteOrZero(withShares ? item.share.value_or(0.0) : item.rmsd);
    *plain << (item.flagged ? 0.0 : bar);
    *flagged << (item.flagged ? bar : 0.0);
    barTop = std::max(barTop, bar);
    barBottom = std::min(barBottom, bar);
    rmsdTop = std::max(rmsdTop, finiteOrZero(item.rmsd));
    if (withShares) (item.flagged ? rmsdFlagged : rmsd)->append(static_cast<qreal>(i), item.rmsd);
  }
  auto* bars = new QStackedBarSeries;
  bars->append(plain);
  bars->append(flagged);
  addSeries(chart.get(), bars, x, barAxis);
  if (withShares) {
    addSeries(chart.get(), rmsd, x, rmsdAxis);
    addSeries(chart.get(), rmsdFlagged, x, rmsdAxis);
  } else {
    delete rmsd;
    delete rmsdFlagged;
  }
  if (pair.driftCutoff && std::isfinite(*pair.driftCutoff)) {
    auto* cutoff = line("Drift cutoff " + number(*pair.driftCutoff) + " (RMSD)", kCutoffColour,
                        1.5, Qt::DashLine);
    cutoff->append(-0.5, *pair.driftCutoff);
    cutoff->append(static_cast<qreal>(items.size()) - 0.5, *pair.driftCutoff);
    addSeries(chart.get(), cutoff, x, rmsdAxis);
    rmsdTop = std::max(rmsdTop, *pair.driftCutoff);
    if (!withShares) barTop = rmsdTop;
  }
  barAxis->setRange(barBottom, barTop > barBottom ? barTop * 1.1 : barBottom + 1.0);
  barAxis->applyNiceNumbers();
  barAxis->setLabelFormat("%.3g");
  if (withShares) {
    // Each axis in the colour of what it measures.
    barAxis->setLabelsColor(kItemColour.darker(130));
    barAxis->setTitleBrush(kItemColour.darker(130));
    rmsdAxis->setRange(0.0, rmsdTop > 0.0 ? rmsdTop * 1.1 : 1.0);
    rmsdAxis->applyNiceNumbers();
    rmsdAxis->setLabelFormat("%.3g");
  }
  return chart;
}

std::unique_ptr<QChart> parametersChart(const ResultsPair& pair) {
  auto chart = newChart("Item parameters: From after the link against To");
  QValueAxis* x = valueAxis(chart.get(), "To", Qt::AlignBottom);
  QValueAxis* y = valueAxis(chart.get(), "From after the link", Qt::AlignLeft);
  double low = 0.0, high = 0.0;
  auto extend = [&](double v) {
    if (!std::isfinite(v)) return;
    low = std::min(low, v);
    high = std::max(high, v);
  };
  const int d = pair.dimension;
  for (int k = 0; k < d; ++k) {
    const QString name = d == 1 ? QString("Slope") : QString("Slope %1").arg(k + 1);
    auto* slopes = scatter(name, kParameterColours[k % std::size(kParameterColours)], 9.0);
    for (const ResultsItem& item : pair.items) {
      slopes->append(item.to.slopes[k], item.fromTransformed.slopes[k]);
      extend(item.to.slopes[k]);
      extend(item.fromTransformed.slopes[k]);
    }
    addSeries(chart.get(), slopes, x, y);
  }
  auto* intercepts = scatter("Intercept", kInterceptColour, 9.0);
  intercepts->setMarkerShape(QScatterSeries::MarkerShapeRectangle);
  for (const ResultsItem& item : pair.items) {
    intercepts->append(item.to.intercept, item.fromTransformed.intercept);
    extend(item.to.intercept);
    extend(item.fromTransformed.intercept);
  }
  addSeries(chart.get(), intercepts, x, y);
  const double margin = std::max(0.05 * (high - low), 0.1);
  low -= margin;
  high += margin;
  auto* identity = line("Identity", kCutoffColour, 1.0, Qt::DashLine);
  identity->append(low, low);
  identity->append(high, high);
  addSeries(chart.get(), identity, x, y);
  x->setRange(low, high);
  y->setRange(low, high);
  x->setLabelFormat("%.3g");
  y->setLabelFormat("%.3g");
  return chart;
}

std::vector<PairChart> buildPairCharts(const ResultsPair& pair) {
  std::vector<PairChart> charts;
  if (!pair.linked() || pair.items.empty() || pair.dimension < 1) return charts;
  const int d = pair.dimension;
  if (d == 1) {
    charts.push_back({"curves", "Curves",
                      curvesChart(pair, {1.0}, "Test characteristic curves", "theta")});
  } else {
    const std::vector<double> u = principalDirection(toSlopes(pair), d);
    charts.push_back({"curves", "Curves",
                      curvesChart(pair, u,
                                  "Test characteristic curves along the first principal "
                                  "direction of the To slopes",
                                  "s, with theta = s u, u = " + vectorText(u))});
    for (int k = 0; k < d; ++k) {
      std::vector<double> axis(d, 0.0);
      axis[k] = 1.0;
      charts.push_back({QString("axis%1").arg(k + 1), QString("Axis %1").arg(k + 1),
                        curvesChart(pair, axis,
                                    QString("Test characteristic curves along axis %1").arg(k + 1),
                                    QString("theta %1 (the other coordinates 0)").arg(k + 1))});
    }
  }
  charts.push_back({"shares", "Shares and drift", sharesChart(pair)});
  charts.push_back({"parameters", "Parameters", parametersChart(pair)});
  return charts;
}
