#include "diagnostics/replication_fit.h"

#include <algorithm>
#include <cmath>
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
  std::vector<std::size_t> positions(chosen.begin(), chosen.end());
  out.categories = items.categories.select(positions);
}

bool ReplicationFit::fitLeastSquaresItems(const std::vector<int>& chosen,
                                          std::vector<double>& result) {
  const int d = data_.d;
  const int n = static_cast<int>(chosen.size());
  select(data_.toUnscaled, chosen, to_);
  select(data_.fromUnscaled, chosen, from_);
  // Parameterization 2 keeps the fitted matrix X (= A) and gives t = -X^-1 m; then b = m.
  std::vector<double> block(static_cast<std::size_t>(d) * (d + 1));
  const LeastSquaresFit fit =
      from_.categories.polytomous()
          ? fitLeastSquaresRows(n, d, 2, to_.slopes.data(), from_.slopes.data(),
                                interceptRows(chosen.size(), to_.intercepts.data(), to_.categories),
                                interceptRows(chosen.size(), from_.intercepts.data(),
                                              from_.categories),
                                block.data())
          : fitLeastSquares(n, d, 2, to_.slopes.data(), to_.intercepts.data(),
                            from_.slopes.data(), from_.intercepts.data(), block.data());
  if (fit != LeastSquaresFit::Ok) return false;
  result.assign(block.begin(), block.end());
  matMul(d, d, 1, block.data(), block.data() + d * d, result.data() + d * d);
  for (int k = 0; k < d; ++k) result[d * d + k] = -result[d * d + k];
  return true;
}

// Model 3 (and Model 4 with polytomous items): the chosen To items' targets, computed for
// each replication.
bool ReplicationFit::computeTargets(const std::vector<int>& chosen) {
  select(data_.to, chosen, to_);
  weights_.resize(static_cast<std::size_t>(data_.points.pointCount()));
  if (!structured_.setItems(to_.slopes.data(), to_.intercepts.data(), to_.asymptotes.data(),
                            static_cast<std::int64_t>(chosen.size()), &to_.categories)) {
    return false;
  }
  targets_.resize(static_cast<std::size_t>(
      StructuredObjective::targetSize(data_.points, structured_.targetRows())));
  return structured_.computeTargets(data_.points, data_.weighted, weights_.data(),
                                    targets_.data());
}

// Model 4: every To item's responses are computed once; a replication copies the rows of its
// items (targets hold, per block of points, one row of kBlock values per item).
bool ReplicationFit::gatherItemTargets(const std::vector<int>& chosen) {
  constexpr std::size_t kRow = PointBlocks::kBlock;
  const auto all = static_cast<std::size_t>(data_.items);
  if (allTargets_.empty()) {
    weights_.resize(static_cast<std::size_t>(data_.points.pointCount()));
    allTargets_.resize(
        static_cast<std::size_t>(StructuredObjective::targetSize(data_.points, data_.items)));
    if (!structured_.setItems(data_.to.slopes.data(), data_.to.intercepts.data(),
                              data_.to.asymptotes.data(), data_.items) ||
        !structured_.computeTargets(data_.points, data_.weighted, weights_.data(),
                                    allTargets_.data())) {
      allTargets_.clear();
      return false;
    }
  }
  const auto blocks = static_cast<std::size_t>(data_.points.blockCount());
  targets_.resize(blocks * chosen.size() * kRow);
  double* out = targets_.data();
  for (std::size_t b = 0; b < blocks; ++b) {
    const double* block = &allTargets_[b * all * kRow];
    for (int item : chosen) {
      out = std::copy_n(block + static_cast<std::size_t>(item) * kRow, kRow, out);
    }
  }
  return true;
}

bool ReplicationFit::fit(const std::vector<int>& chosen, const std::vector<double>& start,
                         std::vector<double>& result) {
  if (data_.model == 1) return fitLeastSquaresItems(chosen, result);
  const auto items = static_cast<std::int64_t>(chosen.size());
  select(data_.from, chosen, from_);
  // Targets copied from those of every To item where each item is one row of them.
  const bool rowPerItem = data_.model == 4 && !data_.to.categories.polytomous();
  if (!(rowPerItem ? gatherItemTargets(chosen) : computeTargets(chosen)) ||
      !structured_.setItems(from_.slopes.data(), from_.intercepts.data(),
                            from_.asymptotes.data(), items, &from_.categories)) {
    return false;
  }
  result = start;
  if (newtonFromStart(result)) return true;
  // Newton's steps did not settle: the engine's own search, from where they got to.
  minimize(result.data(), static_cast<int>(result.size()));
  return searchStatus >= 0;
}

// Full Newton steps on the criterion from x, while each lowers it, until a step moves no
// parameter by more than kSettled. The replications start at the pair's solution, next to
// their own minimum, where Newton's method converges in a few steps; the engine's line
// search would spend a dozen value evaluations on each of its cycles there.
bool ReplicationFit::newtonFromStart(std::vector<double>& x) {
  constexpr int kMostSteps = 12;
  constexpr double kSettled = 1e-7;  // Newton's next step would be about its square
  const int n = static_cast<int>(x.size());
  parameterCount = n;
  searchStatus = 0;
  std::vector<double> work(static_cast<std::size_t>(1 + n + n * n)), direction(n);
  double previous = 0.0;
  std::vector<double> accepted = x;
  for (int step = 0; step < kMostSteps; ++step) {
    parameters = x;
    evaluate(2, work.data());
    if (searchStatus < 0 || !std::isfinite(work[0])) return false;
    if (step > 0 && work[0] > previous) {
      x = accepted;  // the last step went up: leave it to the search
      return false;
    }
    previous = work[0];
    accepted = x;
    if (!newtonDirection(work.data() + 1, direction.data())) return false;
    double largest = 0.0;
    for (int k = 0; k < n; ++k) {
      if (!std::isfinite(direction[k])) return false;
      x[k] -= direction[k];
      largest = std::max(largest, std::fabs(direction[k]));
    }
    if (largest <= kSettled) return true;
  }
  x = accepted;
  return false;
}

void ReplicationFit::evaluate(int order, double* out) {
  if (!structured_.evaluate(order, parameters.data(), data_.points, weights_.data(),
                            targets_.data(), out)) {
    searchStatus = kNoMemory;
  }
}
