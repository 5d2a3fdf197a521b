#include "numerics/search_minimizer.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <new>
#include <stdexcept>
#include <string>

#include "numerics/matrix.h"

namespace {

bool allFinite(const double* values, std::int64_t count) {
  for (std::int64_t i = 0; i < count; ++i) {
    if (!std::isfinite(values[i])) return false;
  }
  return true;
}

}  // namespace

void SearchMinimizer::setSearchSettings(int method, double tolerance, double stepLength,
                                        int maxDirectionChanges, int maxSteps) {
  this->method = method;
  this->tolerance = tolerance;
  this->stepLength = stepLength;
  this->maxDirectionChanges = maxDirectionChanges;
  this->maxSteps = maxSteps;
}

bool SearchMinimizer::newtonDirection(double* gradientAndHessian, double* direction) {
  const int n = parameterCount;
  if (n < 1) return false;
  const std::int64_t size = static_cast<std::int64_t>(n) * n;
  double* gradient = gradientAndHessian;
  double* hessian = gradientAndHessian + n;
  // Loading cannot repair a non-finite entry; give up at once.
  if (!allFinite(gradientAndHessian, n + size)) return false;

  std::vector<double> Q(static_cast<std::size_t>(size));
  std::vector<double> R(static_cast<std::size_t>(size));
  int loadings = 0;
  while (qrDecompose(n, n, hessian, Q.data(), R.data()) != 0) {
    if (loadings == kMaxLoadings) return false;
    for (std::int64_t i = 0; i < n; ++i) hessian[i * n + i] += 0.5;
    ++loadings;
  }
  transpose(1, n, n, nullptr, Q.data());
  std::vector<double> rotated(n);
  matMul(n, n, 1, Q.data(), gradient, rotated.data());
  backSubstitute(n, R.data(), rotated.data(), direction);
  return true;
}

void SearchMinimizer::minimize(double* x, int n) {
  searchStatus = kSearching;
  if (n < 1) {
    searchStatus = kNoParameters;
    return;
  }
  parameterCount = n;
  parameters.assign(x, x + n);
  if (method != 1 && method != 2) method = 2;

  auto fail = [this](int status, const std::string& text) {
    searchStatus = status;
    if (hooks != nullptr) hooks->warn(text);
  };

  const std::int64_t hessianSize = static_cast<std::int64_t>(n) * n;
  std::vector<double> work;
  std::vector<double> direction;
  try {
    work.resize(static_cast<std::size_t>(1 + n + hessianSize));
    direction.resize(static_cast<std::size_t>(n));
  } catch (const std::bad_alloc&) {
    fail(kNoMemory, "Not Enough Memory");
    return;
  } catch (const std::length_error&) {
    fail(kNoMemory, "Not Enough Memory");
    return;
  }
  double* gradient = work.data() + 1;
  double* hessian = work.data() + 1 + n;

  long stepCount = 0;
  for (int cycle = 0; cycle < maxDirectionChanges; ++cycle) {
    evaluate(method, work.data());
    if (searchStatus < 0) return;
    if (!std::isfinite(work[0])) {
      fail(kNotFinite, "Search stopped: the criterion value is not a finite number.");
      return;
    }
    if (!allFinite(gradient, n)) {
      fail(kNotFinite, "Search stopped: the gradient is not a finite number.");
      return;
    }
    if (method == 2) {
      if (!allFinite(hessian, hessianSize)) {
        fail(kNotFinite, "Search stopped: the Hessian is not a finite number.");
        return;
      }
      if (!newtonDirection(gradient, direction.data())) {
        fail(kNotFinite, "Search stopped: the Hessian could not be factored, even after " +
                             std::to_string(kMaxLoadings) + " diagonal loadings.");
        return;
      }
    } else {
      direction.assign(gradient, gradient + n);
    }
    if (!allFinite(direction.data(), n)) {
      fail(kNotFinite, "Search stopped: the search direction is not a finite number.");
      return;
    }

    bestValue = work[0];
    double current = work[0];
    double step = stepLength;

    // The gradient is the undivided sum, so these thresholds are absolute.
    const double g2 = dotProduct(1, n, gradient, gradient);
    // 64 bits: Number_Step may be any int, and the steep cycle doubles it.
    std::int64_t stepLimit = maxSteps;
    if (g2 <= 5.0 * n) {
      if (g2 < tolerance * n) {
        searchStatus = kSmallGradient;
        break;
      }
    } else {
      stepLimit = 2 * static_cast<std::int64_t>(maxSteps);
      if (g2 < static_cast<double>(n) * n * n) {
        method = 2;
        stepLength = 1.0;
      }
    }

    bool progress = false;
    for (std::int64_t s = 0; s < stepLimit; ++s) {
      if (hooks != nullptr && hooks->stopRequested()) {
        bestValue = kStopped;
        searchStatus = kEnded;
        break;
      }
      ++stepCount;
      if (hooks != nullptr) hooks->stepTaken(stepCount, current);

      scaledSum(n, 1.0, parameters.data(), -step, direction.data(), parameters.data());
      evaluate(0, work.data());
      if (searchStatus < 0) return;
      const double fNew = work[0];
      if (!std::isfinite(fNew)) {
        fail(kNotFinite, "Search stopped: the criterion value is not a finite number.");
        return;
      }

      bool smallChange;
      if (current == 0.0) {
        smallChange = fNew == 0.0;
      } else {
        smallChange = std::fabs(fNew - current) / current < tolerance;
      }
      if (smallChange) {
        // The point keeps this step; bestValue stays at the last accepted value.
        searchStatus = kSmallChange;
        break;
      }
      if (fNew < current) {
        current = fNew;
        bestValue = fNew;
        progress = true;
      } else {
        scaledSum(n, 1.0, parameters.data(), step, direction.data(), parameters.data());
        step *= 0.5;
      }
    }
    if (searchStatus != kSearching || !progress) break;
  }

  if (searchStatus == kSearching) searchStatus = kEnded;
  std::copy(parameters.begin(), parameters.end(), x);
}
