#include "linking/test_surface_linker.h"

#include <algorithm>

#include "linking/category_response.h"
#include "linking/logistic_response.h"
#include "linking/transformed_point.h"

TestSurfaceLinker::TestSurfaceLinker(LinkingJob* job)
    : MultidimensionalLinker(job, 3, kRefused, false) {}

void TestSurfaceLinker::evaluateModel(int order, const double* theta, double* out) {
  if (status != 0) return;
  const int d = dimension();
  const int n = d * (d + 1);
  thetaStar_.resize(d);
  transformedPoint(parameters.data(), theta, d, thetaStar_.data());
  gradient_.assign(d, 0.0);
  curvature_.assign(static_cast<std::size_t>(d) * d, 0.0);

  double total = 0.0;
  const std::int64_t items = itemCount();
  for (std::int64_t j = 0; j < items; ++j) {
    const double* a = &itemSlopes[j * d];
    Response r;
    if (itemCategories.count(j) > 2) {
      // A polytomous item adds its expected score.
      double intercepts[kMostCategories];
      itemInterceptsOf(j, intercepts);
      categoryResponses(itemCategories.kind(j), a, thetaStar_.data(), d, intercepts,
                        itemCategories.count(j), order, categories_);
      r.p = categories_.score;
      r.first = categories_.scoreFirst;
      r.second = categories_.scoreSecond;
    } else {
      double z = itemIntercepts[j];
      for (int k = 0; k < d; ++k) z += a[k] * thetaStar_[k];
      r = logisticResponse(z, itemAsymptotes[j], order);
    }
    total += r.p;
    if (order >= 1) {
      for (int k = 0; k < d; ++k) gradient_[k] += r.first * a[k];
    }
    if (order >= 2) {
      for (int k = 0; k < d; ++k) {
        for (int l = 0; l < d; ++l) curvature_[k * d + l] += r.second * a[k] * a[l];
      }
    }
  }
  out[0] = total;
  if (order < 1) return;
  // Parameter r stands for A[k][l] (r = k d + l, factor theta_l) or b[k] (r = d^2 + k, factor 1).
  auto row = [d](int r) { return r < d * d ? r / d : r - d * d; };
  auto factor = [d, theta](int r) { return r < d * d ? theta[r % d] : 1.0; };
  for (int r = 0; r < n; ++r) out[1 + r] = gradient_[row(r)] * factor(r);
  if (order < 2) return;
  double* hessian = out + 1 + n;
  for (int r = 0; r < n; ++r) {
    const double fr = factor(r);
    const double* sRow = &curvature_[row(r) * d];
    for (int s = 0; s < n; ++s) hessian[r * n + s] = sRow[row(s)] * fr * factor(s);
  }
}
