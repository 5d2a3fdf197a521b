// The numbers behind the charts: test characteristic curves of a hand-made pair at known
// points, the first principal direction of known slope sets, and the charts built from them.
#include "results/characteristic_curves.h"

#include <gtest/gtest.h>

#include <QtCharts/QBarCategoryAxis>
#include <QtCharts/QLineSeries>
#include <QtCharts/QScatterSeries>
#include <QtCharts/QStackedBarSeries>
#include <QtCharts/QBarSet>
#include <cmath>

#include "results/pair_charts.h"
#include "results/principal_direction.h"

namespace {

ResultsItem item(long long position, ResultsItemParameters to, ResultsItemParameters from,
                 ResultsItemParameters transformed) {
  ResultsItem i;
  i.item = position;
  i.to = std::move(to);
  i.from = std::move(from);
  i.fromTransformed = std::move(transformed);
  return i;
}

// One dimension, two items, theta_From = 2 theta_To + 0.5: the From items a = 0.5, d = -0.25
// and a = 1, d = 0.5 become a* = 2a, d* = d + 0.5a, which are the To items exactly.
ResultsPair handMadePair() {
  ResultsPair p;
  p.pair = 1;
  p.result = "linked";
  p.model = 4;
  p.dimension = 1;
  p.itemCount = 2;
  p.A = {{2.0}};
  p.b = {0.5};
  p.M = {{0.5}};
  p.t = {-0.25};
  p.items = {item(1, {{1.0}, 0.0, 0.0}, {{0.5}, -0.25, 0.0}, {{1.0}, 0.0, 0.0}),
             item(2, {{2.0}, 1.0, 0.2}, {{1.0}, 0.5, 0.2}, {{2.0}, 1.0, 0.2})};
  return p;
}

double logistic(double z) { return 1.0 / (1.0 + std::exp(-z)); }

}  // namespace

TEST(CharacteristicCurves, HandMadePairAtKnownPoints) {
  const ResultsPair p = handMadePair();
  const CharacteristicCurves curves = characteristicCurves(p.items, {1.0}, -4.0, 4.0, 81);
  ASSERT_EQ(curves.s.size(), 81u);
  EXPECT_DOUBLE_EQ(curves.s.front(), -4.0);
  EXPECT_DOUBLE_EQ(curves.s.back(), 4.0);
  struct Point {
    int index;
    double theta;
    double to;      // by hand
    double before;  // by hand
  };
  const Point points[] = {
      {40, 0.0, 0.5 + 0.2 + 0.8 * logistic(1.0), logistic(-0.25) + 0.2 + 0.8 * logistic(0.5)},
      {50, 1.0, logistic(1.0) + 0.2 + 0.8 * logistic(3.0),
       logistic(0.25) + 0.2 + 0.8 * logistic(1.5)},
      {20, -2.0, logistic(-2.0) + 0.2 + 0.8 * logistic(-3.0),
       logistic(-1.25) + 0.2 + 0.8 * logistic(-1.5)},
  };
  for (const Point& point : points) {
    SCOPED_TRACE(point.theta);
    EXPECT_NEAR(curves.s[point.index], point.theta, 1e-12);
    EXPECT_NEAR(curves.to[point.index], point.to, 1e-12);
    EXPECT_NEAR(curves.fromAfter[point.index], point.to, 1e-12) << "after the link: the To curve";
    EXPECT_NEAR(curves.fromBefore[point.index], point.before, 1e-12);
  }
  EXPECT_NEAR(curves.to[40], 1.2848468629, 1e-9);
  // An expected score lies between the sum of the asymptotes and the number of items.
  for (std::size_t i = 0; i < curves.s.size(); ++i) {
    EXPECT_GT(curves.to[i], 0.2);
    EXPECT_LT(curves.to[i], 2.0);
  }
}

TEST(CharacteristicCurves, RunsAlongTheGivenDirectionWithinTheRange) {
  ResultsItem twoDimensional = item(1, {{1.0, 2.0}, -0.5, 0.1}, {{1.0, 2.0}, -0.5, 0.1},
                                    {{1.0, 2.0}, -0.5, 0.1});
  const double u[] = {0.6, 0.8};
  const CharacteristicCurves c = characteristicCurves({twoDimensional}, {u[0], u[1]}, -3, 3, 7);
  ASSERT_EQ(c.s.size(), 7u);
  for (std::size_t i = 0; i < c.s.size(); ++i) {
    const double z = 1.0 * c.s[i] * u[0] + 2.0 * c.s[i] * u[1] - 0.5;
    EXPECT_NEAR(c.to[i], 0.1 + 0.9 * logistic(z), 1e-12) << c.s[i];
  }
  ResultsPair p;
  EXPECT_EQ(curveRange(p), std::make_pair(-4.0, 4.0)) << "no range in the record";
  p.thetaRange = std::make_pair(-2.5, 3.0);
  EXPECT_EQ(curveRange(p), std::make_pair(-2.5, 3.0));
}

TEST(PrincipalDirection, LeadingEigenvectorOfKnownSlopeSets) {
  const double r = std::sqrt(0.5);
  struct Case {
    const char* what;
    std::vector<std::vector<double>> slopes;
    std::vector<double> direction;
  };
  const Case cases[] = {
      {"first axis only", {{1, 0}, {2, 0}}, {1, 0}},
      {"second axis only", {{0, 3}, {0, 1}}, {0, 1}},
      {"on the diagonal", {{1, 1}, {2, 2}}, {r, r}},
      {"symmetric pair", {{3, 1}, {1, 3}}, {r, r}},
      {"sign: largest coordinate positive", {{-1, -2}, {-2, -4}},
       {1 / std::sqrt(5.0), 2 / std::sqrt(5.0)}},
      {"three dimensions", {{1, 2, 2}}, {1.0 / 3, 2.0 / 3, 2.0 / 3}},
      {"dominant item wins", {{4, 0, 0}, {0, 1, 0}, {0, 0, 1}}, {1, 0, 0}},
      {"all zero: the first axis", {{0, 0}, {0, 0}}, {1, 0}},
      {"no items: the first axis", {}, {1, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const int d = static_cast<int>(c.direction.size());
    const std::vector<double> u = principalDirection(c.slopes, d);
    ASSERT_EQ(u.size(), c.direction.size());
    for (int k = 0; k < d; ++k) EXPECT_NEAR(u[k], c.direction[k], 1e-9) << k;
  }
}

TEST(PrincipalDirection, JacobiFindsTheEigenpairsOfATridiagonalMatrix) {
  const std::vector<double> m = {2, -1, 0, -1, 2, -1, 0, -1, 2};
  const SymmetricEigen e = symmetricEigen(m, 3);
  const double s = std::sqrt(2.0);
  ASSERT_EQ(e.values.size(), 3u);
  EXPECT_NEAR(e.values[0], 2 + s, 1e-12);
  EXPECT_NEAR(e.values[1], 2, 1e-12);
  EXPECT_NEAR(e.values[2], 2 - s, 1e-12);
  for (int k = 0; k < 3; ++k) {
    double norm = 0;
    for (int r = 0; r < 3; ++r) {
      double mv = 0;
      for (int c = 0; c < 3; ++c) mv += m[r * 3 + c] * e.vectors[k][c];
      EXPECT_NEAR(mv, e.values[k] * e.vectors[k][r], 1e-12) << k << " " << r;
      norm += e.vectors[k][r] * e.vectors[k][r];
    }
    EXPECT_NEAR(norm, 1.0, 1e-12);
  }
}

// The charts carry the curves' numbers, the items in file order and the flags.
TEST(PairCharts, EachChartHoldsItsSeries) {
  ResultsPair p = handMadePair();
  p.items[0].share = 0.003;
  p.items[0].rmsd = 0.02;
  p.items[1].share = 0.001;
  p.items[1].rmsd = 0.2;
  p.items[1].flagged = true;
  p.driftCutoff = 0.1;
  std::swap(p.items[0], p.items[1]);  // bars stand in file order all the same

  const std::vector<PairChart> charts = buildPairCharts(p);
  QStringList keys;
  for (const PairChart& c : charts) keys << c.key;
  EXPECT_EQ(keys, (QStringList{"curves", "shares", "parameters"}));

  const QList<QAbstractSeries*> curves = charts[0].chart->series();
  ASSERT_EQ(curves.size(), 3);
  QStringList names;
  for (QAbstractSeries* s : curves) names << s->name();
  EXPECT_EQ(names, (QStringList{"From before the link", "To", "From after the link"}));
  const auto* to = static_cast<QLineSeries*>(curves[1]);
  ASSERT_EQ(to->count(), 81);
  EXPECT_NEAR(to->at(40).y(), 1.2848468629, 1e-9);

  const QList<QAbstractSeries*> shares = charts[1].chart->series();
  auto* bars = qobject_cast<QStackedBarSeries*>(shares[0]);
  ASSERT_NE(bars, nullptr);
  ASSERT_EQ(bars->count(), 2);
  EXPECT_EQ(bars->barSets()[0]->at(0), 0.003) << "item 1, not flagged";
  EXPECT_EQ(bars->barSets()[1]->at(0), 0.0);
  EXPECT_EQ(bars->barSets()[0]->at(1), 0.0);
  EXPECT_EQ(bars->barSets()[1]->at(1), 0.001) << "item 2, flagged";
  auto* categories = qobject_cast<QBarCategoryAxis*>(charts[1].chart->axes(Qt::Horizontal)[0]);
  EXPECT_EQ(categories->categories(), (QStringList{"1", "2"}));
  auto* cutoff = qobject_cast<QLineSeries*>(shares.last());
  ASSERT_NE(cutoff, nullptr);
  EXPECT_TRUE(cutoff->name().startsWith("Drift cutoff 0.1"));
  EXPECT_EQ(cutoff->at(0).y(), 0.1);

  // Parameters: one series per slope coordinate and the intercepts, then the identity line.
  const QList<QAbstractSeries*> parameters = charts[2].chart->series();
  ASSERT_EQ(parameters.size(), 3);
  EXPECT_EQ(static_cast<QScatterSeries*>(parameters[1])->at(0), QPointF(1.0, 1.0));

  ResultsPair twoDimensional = p;
  twoDimensional.dimension = 2;
  for (ResultsItem& i : twoDimensional.items) {
    for (auto* params : {&i.to, &i.from, &i.fromTransformed}) params->slopes.push_back(0.5);
  }
  keys.clear();
  for (const PairChart& c : buildPairCharts(twoDimensional)) keys << c.key;
  EXPECT_EQ(keys, (QStringList{"curves", "axis1", "axis2", "shares", "parameters"}));

  p.items.clear();
  EXPECT_TRUE(buildPairCharts(p).empty()) << "no item diagnostics, no charts";
}
