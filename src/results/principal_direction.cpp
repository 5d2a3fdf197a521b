#include "results/principal_direction.h"

#include <algorithm>
#include <cmath>
#include <numeric>

SymmetricEigen symmetricEigen(const std::vector<double>& matrix, int n) {
  std::vector<double> a(static_cast<std::size_t>(n) * n);
  for (int r = 0; r < n; ++r) {
    for (int c = 0; c < n; ++c) a[r * n + c] = matrix[std::min(r, c) * n + std::max(r, c)];
  }
  std::vector<double> v(a.size(), 0.0);  // columns: the eigenvectors
  for (int i = 0; i < n; ++i) v[i * n + i] = 1.0;

  for (int sweep = 0; sweep < 100; ++sweep) {
    double off = 0.0;
    for (int p = 0; p < n; ++p) {
      for (int q = p + 1; q < n; ++q) off += a[p * n + q] * a[p * n + q];
    }
    if (off < 1e-30) break;
    for (int p = 0; p < n; ++p) {
      for (int q = p + 1; q < n; ++q) {
        const double apq = a[p * n + q];
        if (apq == 0.0) continue;
        // The rotation that zeroes a[p][q]: tan(2 phi) = 2 apq / (aqq - app).
        const double theta = (a[q * n + q] - a[p * n + p]) / (2.0 * apq);
        const double t = std::copysign(1.0, theta) / (std::fabs(theta) + std::hypot(theta, 1.0));
        const double c = 1.0 / std::hypot(t, 1.0);
        const double s = t * c;
        for (int k = 0; k < n; ++k) {  // A = A J
          const double akp = a[k * n + p], akq = a[k * n + q];
          a[k * n + p] = c * akp - s * akq;
          a[k * n + q] = s * akp + c * akq;
        }
        for (int k = 0; k < n; ++k) {  // A = J' A
          const double apk = a[p * n + k], aqk = a[q * n + k];
          a[p * n + k] = c * apk - s * aqk;
          a[q * n + k] = s * apk + c * aqk;
        }
        for (int k = 0; k < n; ++k) {  // V = V J
          const double vkp = v[k * n + p], vkq = v[k * n + q];
          v[k * n + p] = c * vkp - s * vkq;
          v[k * n + q] = s * vkp + c * vkq;
        }
      }
    }
  }

  std::vector<int> order(n);
  std::iota(order.begin(), order.end(), 0);
  std::stable_sort(order.begin(), order.end(),
                   [&](int x, int y) { return a[x * n + x] > a[y * n + y]; });
  SymmetricEigen result;
  for (int k : order) {
    result.values.push_back(a[k * n + k]);
    std::vector<double> column(n);
    for (int r = 0; r < n; ++r) column[r] = v[r * n + k];
    result.vectors.push_back(std::move(column));
  }
  return result;
}

std::vector<double> principalDirection(const std::vector<std::vector<double>>& slopes, int d) {
  std::vector<double> first(d, 0.0);
  if (d < 1) return first;
  first[0] = 1.0;
  std::vector<double> cross(static_cast<std::size_t>(d) * d, 0.0);
  for (const std::vector<double>& a : slopes) {
    for (int r = 0; r < d; ++r) {
      for (int c = 0; c < d; ++c) cross[r * d + c] += a[r] * a[c];
    }
  }
  const SymmetricEigen eigen = symmetricEigen(cross, d);
  if (!(eigen.values[0] > 0.0)) return first;
  std::vector<double> u = eigen.vectors[0];
  const auto largest = std::max_element(u.begin(), u.end(), [](double x, double y) {
    return std::fabs(x) < std::fabs(y);
  });
  if (*largest < 0) {
    for (double& x : u) x = -x;
  }
  return u;
}
