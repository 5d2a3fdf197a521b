#include "diagnostics/replication_fit.h"

#include <algorithm>
#include <cstddef>

#include "linking/least_squares_fit.h"
#include "numerics/matrix.h"

ReplicationFit::ReplicationFit(const PairData& data)
    : data_(data),
      structured_(data.model == 3 ? StructuredObjective::Model::TestSurface
                                  : StructuredObjective::Model::ItemSurface,
                  data.d, 1) {
  if (data.searchMethod != 0) {
    setSearchSettings(data.searchMethod, data.tolerance, data.stepLength, data.directionChanges,
                      data.steps);
  }
}

void ReplicationFit::select(const ItemSet& items, const std::vector<int>& chosen,
                            ItemSet& out) const {
  const int d = data_.d;
  out.slopes.resize(chosen.size() * d);
  out.intercepts.resize(chosen.size());
  out.asymptotes.resize(chosen.size());
  for (std::size_t i = 0; i < chosen.size(); ++i) {
    const auto j = static_cast<std::size_t>(chosen[i]);
    std::copy_n(&items.slopes[j * d], d, &out.slopes[i * d]);
    out.intercepts[i] = items.intercepts[j];
    out.asymptotes[i] = items.asymptotes[j];
  }
}

bool ReplicationFit::fitLeastSquaresItems(const std::vector<int>& chosen,
                                          std::vector<double>& result) {
  const int d = data_.d;
  const int n = static_cast<int>(chosen.size());
  select(data_.toUnscaled, chosen, to_);
  select(data_.fromUnscaled, chosen, from_);
  // Parameterization 2 keeps the fitted matrix X (= A) and gives t = -X^-1 m; then b = m.
  std::vector<double> block(static_cast<std::size_t>(d) * (d + 1));
  if (fitLeastSquares(n, d, 2, to_.slopes.data(), to_.intercepts.data(), from_.slopes.data(),
                      from_.intercepts.data(), block.data()) != LeastSquaresFit::Ok) {
    return false;
  }
  result.assign(block.begin(), block.end());
  matMul(d, d, 1, block.data(), block.data() + d * d, result.data() + d * d);
  for (int k = 0; k < d; ++k) result[d * d + k] = -result[d * d + k];
  return true;
}

bool ReplicationFit::fit(const std::vector<int>& chosen, const std::vector<double>& start,
                         std::vector<double>& result) {
  if (data_.model == 1) return fitLeastSquaresItems(chosen, result);
  const auto items = static_cast<std::int64_t>(chosen.size());
  const std::int64_t outputs = data_.model == 3 ? 1 : items;
  select(data_.to, chosen, to_);
  select(data_.from, chosen, from_);
  weights_.resize(static_cast<std::size_t>(data_.points.pointCount()));
  targets_.resize(
      static_cast<std::size_t>(StructuredObjective::targetSize(data_.points, outputs)));
  if (!structured_.setItems(to_.slopes.data(), to_.intercepts.data(), to_.asymptotes.data(),
                            items) ||
      !structured_.computeTargets(data_.points, data_.weighted, weights_.data(),
                                  targets_.data()) ||
      !structured_.setItems(from_.slopes.data(), from_.intercepts.data(),
                            from_.asymptotes.data(), items)) {
    return false;
  }
  const int n = data_.d * (data_.d + 1);
  parameterCount = n;
  parameters.assign(start.begin(), start.end());
  result = start;
  minimize(result.data(), n);
  return searchStatus >= 0;
}

void ReplicationFit::evaluate(int order, double* out) {
  if (!structured_.evaluate(order, parameters.data(), data_.points, weights_.data(),
                            targets_.data(), out)) {
    searchStatus = kNoMemory;
  }
}
