#include "diagnostics/item_diagnostics.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

#include "linking/category_response.h"
#include "linking/least_squares_fit.h"
#include "linking/logistic_response.h"

namespace {

// How much intercept k (from 1) of an item moves with the item's shift a'b: a partial credit
// d_k by k, every other intercept by 1.
double shiftFactor(const ItemCategories& categories, std::int64_t j, int k) {
  return categories.kind(static_cast<std::size_t>(j)) == ItemKind::PartialCredit ? k : 1.0;
}

// The From item j after the link: slopes A'a, intercepts d_k + f_k a'b (rest: d_2 ..).
void transformItem(const ItemSet& from, std::int64_t j, int d, const std::vector<double>& a,
                   const std::vector<double>& b, double* slopes, double* intercept,
                   std::vector<double>* rest = nullptr) {
  const double* aj = &from.slopes[static_cast<std::size_t>(j * d)];
  double shift = 0.0;
  *intercept = from.intercepts[j];
  for (int k = 0; k < d; ++k) {
    slopes[k] = 0.0;
    for (int r = 0; r < d; ++r) slopes[k] += a[r * d + k] * aj[r];
    *intercept += aj[k] * b[k];
    shift += aj[k] * b[k];
  }
  if (rest == nullptr) return;
  const auto item = static_cast<std::size_t>(j);
  const int m = from.categories.count(item);
  rest->clear();
  for (int k = 2; k < m; ++k) {
    rest->push_back(from.categories.restOf(item)[k - 2] + shiftFactor(from.categories, j, k) * shift);
  }
}

// An item's responses at theta: its expected score, and into p its category probabilities
// (a dichotomous item: P alone).
double responsesAt(const ItemSet& items, std::int64_t j, const double* slopes, double intercept,
                   const std::vector<double>& rest, const double* theta, int d,
                   CategoryResponses& out) {
  const auto item = static_cast<std::size_t>(j);
  const int m = items.categories.count(item);
  if (m <= 2) {
    double z = intercept;
    for (int k = 0; k < d; ++k) z += slopes[k] * theta[k];
    out.count = 1;
    out.p[0] = logisticResponse(z, items.asymptotes[j], 0).p;
    return out.p[0];
  }
  double intercepts[kMostCategories];
  intercepts[0] = intercept;
  std::copy(rest.begin(), rest.end(), intercepts + 1);
  categoryResponses(items.categories.kind(item), slopes, theta, d, intercepts, m, 0, out);
  return out.score;
}

// Model 1's share of each item: its squared residuals of the unscaled parameters, every
// intercept of a polytomous item one residual, over d J plus the intercepts of all items.
void addLeastSquaresShares(const PairData& data, const std::vector<double>& a,
                           const std::vector<double>& b, std::vector<ItemDiagnostic>& rows) {
  const int d = data.d;
  std::vector<double> slopes(d), rest;
  double intercepts = 0.0;
  for (std::int64_t j = 0; j < data.items; ++j) {
    intercepts += data.toUnscaled.categories.count(static_cast<std::size_t>(j)) - 1;
  }
  const double denominator = static_cast<double>(d) * static_cast<double>(data.items) + intercepts;
  for (std::int64_t j = 0; j < data.items; ++j) {
    double intercept = 0.0;
    transformItem(data.fromUnscaled, j, d, a, b, slopes.data(), &intercept, &rest);
    const double* to = &data.toUnscaled.slopes[static_cast<std::size_t>(j * d)];
    double sum = 0.0;
    for (int k = 0; k < d; ++k) sum += (slopes[k] - to[k]) * (slopes[k] - to[k]);
    const double r = intercept - data.toUnscaled.intercepts[j];
    sum += r * r;
    const double* toRest = data.toUnscaled.categories.restOf(static_cast<std::size_t>(j));
    for (std::size_t k = 0; k < rest.size(); ++k) sum += (rest[k] - toRest[k]) * (rest[k] - toRest[k]);
    rows[j].share = sum / denominator;
  }
}

}  // namespace

std::vector<ItemDiagnostic> diagnoseItems(const PairData& data, const std::vector<double>& a,
                                          const std::vector<double>& b, double cutoff,
                                          const std::function<bool()>& stop) {
  const int d = data.d;
  const std::int64_t items = data.items;
  std::vector<ItemDiagnostic> rows(static_cast<std::size_t>(items));
  for (std::int64_t j = 0; j < items; ++j) {
    ItemDiagnostic& row = rows[j];
    const auto at = static_cast<std::size_t>(j * d);
    const auto item = static_cast<std::size_t>(j);
    row.item = data.positions[j];
    row.toSlopes.assign(&data.to.slopes[at], &data.to.slopes[at] + d);
    row.fromSlopes.assign(&data.from.slopes[at], &data.from.slopes[at] + d);
    row.transformedSlopes.resize(d);
    transformItem(data.from, j, d, a, b, row.transformedSlopes.data(), &row.transformedIntercept,
                  &row.transformedRest);
    row.toIntercept = data.to.intercepts[j];
    row.fromIntercept = data.from.intercepts[j];
    row.toAsymptote = data.to.asymptotes[j];
    row.fromAsymptote = data.from.asymptotes[j];
    row.categories = data.to.categories.count(item);
    if (row.categories > 2) {
      row.kind = data.to.categories.kind(item) == ItemKind::PartialCredit ? "partial credit"
                                                                          : "graded";
      const double* toRest = data.to.categories.restOf(item);
      const double* fromRest = data.from.categories.restOf(item);
      row.toRest.assign(toRest, toRest + row.categories - 2);
      row.fromRest.assign(fromRest, fromRest + row.categories - 2);
    }
  }

  const std::int64_t n = data.points.pointCount();
  std::vector<double> squares(items, 0.0), shares(items, 0.0), differences(items);
  std::vector<double> theta(d);
  CategoryResponses to, from;
  double weightSum = 0.0;
  for (std::int64_t i = 0; i < n; ++i) {
    if (i % 4096 == 0 && stop && stop()) return {};
    data.point(i, theta.data());
    const double w = data.weighted ? normalWeight(theta.data(), d) : 1.0;
    weightSum += w;
    double total = 0.0;
    for (std::int64_t j = 0; j < items; ++j) {
      ItemDiagnostic& row = rows[j];
      const double toScore = responsesAt(data.to, j, row.toSlopes.data(), row.toIntercept,
                                         row.toRest, theta.data(), d, to);
      const double fromScore = responsesAt(data.from, j, row.transformedSlopes.data(),
                                           row.transformedIntercept, row.transformedRest,
                                           theta.data(), d, from);
      // Model 3 compares expected scores; the response distance is over the categories.
      differences[j] = toScore - fromScore;
      total += differences[j];
      for (int k = 0; k < to.count; ++k) {
        const double difference = to.p[k] - from.p[k];
        squares[j] += w * difference * difference;
        row.maxDifference = std::max(row.maxDifference, std::fabs(difference));
      }
    }
    if (data.model == 3) {
      for (std::int64_t j = 0; j < items; ++j) shares[j] += w * total * differences[j];
    }
  }
  const double points = static_cast<double>(n);
  for (std::int64_t j = 0; j < items; ++j) {
    ItemDiagnostic& row = rows[j];
    row.rmsd = weightSum > 0.0 ? std::sqrt(squares[j] / weightSum) : 0.0;
    row.flagged = row.rmsd > cutoff;
    if (data.model == 3) row.share = shares[j] / points;
    if (data.model == 4) row.share = squares[j] / (points * static_cast<double>(items));
  }
  if (data.model == 1) addLeastSquaresShares(data, a, b, rows);
  return rows;
}
