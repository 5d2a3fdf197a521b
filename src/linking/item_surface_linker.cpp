#include "linking/item_surface_linker.h"

#include "linking/logistic_response.h"
#include "linking/transformed_point.h"

ItemSurfaceLinker::ItemSurfaceLinker(LinkingJob* job)
    : MultidimensionalLinker(job, 4, kRefused, true) {}

void ItemSurfaceLinker::evaluateModel(int order, const double* theta, double* out) {
  if (status != 0) return;
  const int d = dimension();
  const std::int64_t n = static_cast<std::int64_t>(d) * (d + 1);
  const std::int64_t items = itemCount();
  thetaStar_.resize(d);
  zGradient_.resize(n);
  transformedPoint(parameters.data(), theta, d, thetaStar_.data());

  double* firstBlock = out + items;
  double* secondBlock = out + items * (n + 1);
  for (std::int64_t j = 0; j < items; ++j) {
    const double* a = &itemSlopes[j * d];
    double z = itemIntercepts[j];
    for (int k = 0; k < d; ++k) z += a[k] * thetaStar_[k];
    const Response r = logisticResponse(z, itemAsymptotes[j], order);
    out[j] = r.p;
    if (order < 1) continue;
    for (int k = 0; k < d; ++k) {
      for (int l = 0; l < d; ++l) zGradient_[k * d + l] = a[k] * theta[l];
      zGradient_[d * d + k] = a[k];
    }
    double* first = firstBlock + j * n;
    for (std::int64_t q = 0; q < n; ++q) first[q] = r.first * zGradient_[q];
    if (order < 2) continue;
    double* second = secondBlock + j * n * n;
    for (std::int64_t q = 0; q < n; ++q) {
      const double scaled = r.second * zGradient_[q];
      for (std::int64_t s = 0; s < n; ++s) second[q * n + s] = scaled * zGradient_[s];
    }
  }
}
