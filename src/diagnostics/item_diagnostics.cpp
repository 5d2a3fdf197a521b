#include "diagnostics/item_diagnostics.h"

#include <cmath>
#include <cstddef>

#include "linking/logistic_response.h"

namespace {

// The From item j after the link: slopes A'a, intercept d + a'b.
void transformItem(const ItemSet& from, std::int64_t j, int d, const std::vector<double>& a,
                   const std::vector<double>& b, double* slopes, double* intercept) {
  const double* aj = &from.slopes[static_cast<std::size_t>(j * d)];
  *intercept = from.intercepts[j];
  for (int k = 0; k < d; ++k) {
    slopes[k] = 0.0;
    for (int r = 0; r < d; ++r) slopes[k] += a[r * d + k] * aj[r];
    *intercept += aj[k] * b[k];
  }
}

double responseAt(const ItemSet& items, const double* slopes, double intercept, std::int64_t j,
                  const double* theta, int d) {
  double z = intercept;
  for (int k = 0; k < d; ++k) z += slopes[k] * theta[k];
  return logisticResponse(z, items.asymptotes[j], 0).p;
}

// Model 1's share of each item: its squared residuals of the unscaled parameters.
void addLeastSquaresShares(const PairData& data, const std::vector<double>& a,
                           const std::vector<double>& b, std::vector<ItemDiagnostic>& rows) {
  const int d = data.d;
  std::vector<double> slopes(d);
  const double denominator = static_cast<double>(d + 1) * static_cast<double>(data.items);
  for (std::int64_t j = 0; j < data.items; ++j) {
    double intercept = 0.0;
    transformItem(data.fromUnscaled, j, d, a, b, slopes.data(), &intercept);
    const double* to = &data.toUnscaled.slopes[static_cast<std::size_t>(j * d)];
    double sum = 0.0;
    for (int k = 0; k < d; ++k) sum += (slopes[k] - to[k]) * (slopes[k] - to[k]);
    const double r = intercept - data.toUnscaled.intercepts[j];
    rows[j].share = (sum + r * r) / denominator;
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
    row.item = data.positions[j];
    row.toSlopes.assign(&data.to.slopes[at], &data.to.slopes[at] + d);
    row.fromSlopes.assign(&data.from.slopes[at], &data.from.slopes[at] + d);
    row.transformedSlopes.resize(d);
    transformItem(data.from, j, d, a, b, row.transformedSlopes.data(), &row.transformedIntercept);
    row.toIntercept = data.to.intercepts[j];
    row.fromIntercept = data.from.intercepts[j];
    row.toAsymptote = data.to.asymptotes[j];
    row.fromAsymptote = data.from.asymptotes[j];
  }

  const std::int64_t n = data.points.pointCount();
  std::vector<double> squares(items, 0.0), shares(items, 0.0), differences(items);
  std::vector<double> theta(d);
  double weightSum = 0.0;
  for (std::int64_t i = 0; i < n; ++i) {
    if (i % 4096 == 0 && stop && stop()) return {};
    data.point(i, theta.data());
    const double w = data.weighted ? normalWeight(theta.data(), d) : 1.0;
    weightSum += w;
    double total = 0.0;
    for (std::int64_t j = 0; j < items; ++j) {
      const ItemDiagnostic& row = rows[j];
      const double to = responseAt(data.to, row.toSlopes.data(), row.toIntercept, j, theta.data(), d);
      const double from = responseAt(data.from, row.transformedSlopes.data(),
                                     row.transformedIntercept, j, theta.data(), d);
      differences[j] = to - from;
      total += differences[j];
      squares[j] += w * differences[j] * differences[j];
      rows[j].maxDifference = std::max(rows[j].maxDifference, std::fabs(differences[j]));
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
