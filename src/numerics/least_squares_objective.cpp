#include "numerics/least_squares_objective.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <new>
#include <stdexcept>
#include <utility>
#include <vector>

namespace {

// Largest element count any buffer of doubles may have.
constexpr std::int64_t kMaxDoubles =
    static_cast<std::int64_t>(PTRDIFF_MAX / static_cast<std::ptrdiff_t>(sizeof(long double)));

// a * b when both are non-negative and the product fits a buffer; false otherwise.
bool countProduct(std::int64_t a, std::int64_t b, std::int64_t* product) {
  if (a < 0 || b < 0) return false;
  if (__builtin_mul_overflow(a, b, product)) return false;
  return *product <= kMaxDoubles;
}

bool countSum(std::int64_t a, std::int64_t b, std::int64_t* sum) {
  if (__builtin_add_overflow(a, b, sum)) return false;
  return *sum <= kMaxDoubles;
}

}  // namespace

int LeastSquaresObjective::allocatePoints(std::int64_t n, std::int64_t m, std::int64_t c,
                                          bool storePoints, std::int64_t targetRows) {
  if (n <= 0 || m <= 0 || c <= 0) {
    searchStatus = kZeroSize;
    return 1;
  }
  std::int64_t targetCount = 0;
  std::int64_t pointValues = 0;
  if (!countProduct(std::max(n, targetRows), m, &targetCount) ||
      !countProduct(n, c, &pointValues)) {
    searchStatus = kNoMemory;
    return 2;
  }
  // Built aside so that a failure leaves the previous arrays intact.
  LargeBuffer<double> newTargets;
  LargeBuffer<double> newPoints;
  LargeBuffer<double> newWeights;
  try {
    newTargets.resize(static_cast<std::size_t>(targetCount));
    if (storePoints) newPoints.resize(static_cast<std::size_t>(pointValues));
    newWeights.resize(static_cast<std::size_t>(n));
  } catch (const std::bad_alloc&) {
    searchStatus = kNoMemory;
    return 2;
  } catch (const std::length_error&) {
    searchStatus = kNoMemory;
    return 2;
  }
  targets = std::move(newTargets);
  points = std::move(newPoints);
  weights = std::move(newWeights);
  pointCount = n;
  outputSize = m;
  inputSize = c;
  return 0;
}

void LeastSquaresObjective::evaluate(int order, double* out) {
  const std::int64_t N = pointCount;
  const std::int64_t m = outputSize;
  const std::int64_t c = inputSize;
  const std::int64_t n = parameterCount;
  std::int64_t targetCount = 0;
  std::int64_t pointValues = 0;
  // Arrays that do not hold the stated sizes count as no points at all.
  if (N <= 0 || m <= 0 || c <= 0 || !countProduct(N, m, &targetCount) ||
      !countProduct(N, c, &pointValues) ||
      static_cast<std::int64_t>(targets.size()) < targetCount ||
      static_cast<std::int64_t>(points.size()) < pointValues ||
      static_cast<std::int64_t>(weights.size()) < N) {
    searchStatus = kNoPoints;
    return;
  }
  if (order < 0) order = 0;
  if (order > 2) order = 2;

  auto outOfMemory = [this]() {
    if (hooks != nullptr) hooks->warn("Not Enough Memory");
    searchStatus = kNoMemory;
  };

  // Rows of the model buffer per model value: f, then n first, then n*n second derivatives.
  std::int64_t hessianSize = 0;
  std::int64_t rows = 1;
  if (!countProduct(n, n, &hessianSize) || (order >= 1 && !countSum(rows, n, &rows)) ||
      (order == 2 && !countSum(rows, hessianSize, &rows))) {
    outOfMemory();
    return;
  }
  std::int64_t modelSize = 0;
  if (!countProduct(m, rows, &modelSize)) {
    outOfMemory();
    return;
  }
  std::vector<double> model;
  std::vector<double> residual;
  std::vector<long double> hessianSum;
  try {
    model.resize(static_cast<std::size_t>(modelSize));
    residual.resize(static_cast<std::size_t>(m));
    if (order == 2) hessianSum.resize(static_cast<std::size_t>(hessianSize));
  } catch (const std::bad_alloc&) {
    outOfMemory();
    return;
  } catch (const std::length_error&) {
    outOfMemory();
    return;
  }

  for (std::int64_t k = 0; k < rows; ++k) out[k] = 0.0;
  double* gradientOut = out + 1;
  double* hessianOut = out + 1 + n;
  // After the m values: the m x n Jacobian, then m blocks of n x n second derivatives.
  const double* jacobian = order >= 1 ? model.data() + m : nullptr;
  const double* secondDerivatives = order == 2 ? model.data() + m + m * n : nullptr;

  for (std::int64_t i = 0; i < N; ++i) {
    const double w = weights[i];
    // A zero weight adds nothing, whatever the model gives at that point.
    if (w == 0.0) continue;
    evaluateModel(order, points.data() + i * c, model.data());

    const double* target = targets.data() + i * m;
    long double squares = 0.0L;
    for (std::int64_t j = 0; j < m; ++j) {
      residual[j] = target[j] - model[j];
      squares += static_cast<long double>(residual[j]) * residual[j];
    }
    out[0] += w * static_cast<double>(squares);
    if (order == 0) continue;

    // g_i = J^T r.
    for (std::int64_t k = 0; k < n; ++k) {
      long double sum = 0.0L;
      for (std::int64_t j = 0; j < m; ++j) {
        sum += static_cast<long double>(jacobian[j * n + k]) * residual[j];
      }
      gradientOut[k] -= w * static_cast<double>(sum);
    }
    if (order == 1) continue;

    // H_i = J^T J - sum_j r_j Hess f_j, rounded once per entry.
    std::fill(hessianSum.begin(), hessianSum.end(), 0.0L);
    for (std::int64_t j = 0; j < m; ++j) {
      const double* row = jacobian + j * n;
      for (std::int64_t r = 0; r < n; ++r) {
        const long double jr = row[r];
        long double* sumRow = hessianSum.data() + r * n;
        for (std::int64_t s = 0; s < n; ++s) sumRow[s] += jr * row[s];
      }
    }
    for (std::int64_t j = 0; j < m; ++j) {
      const long double rj = residual[j];
      const double* block = secondDerivatives + j * hessianSize;
      for (std::int64_t k = 0; k < hessianSize; ++k) hessianSum[k] -= rj * block[k];
    }
    for (std::int64_t k = 0; k < hessianSize; ++k) {
      hessianOut[k] += w * static_cast<double>(hessianSum[k]);
    }
  }

  out[0] /= static_cast<double>(divisorValues > 0 ? N * divisorValues : targetCount);
}
