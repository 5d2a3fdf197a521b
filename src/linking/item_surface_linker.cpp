#include "linking/item_surface_linker.h"

#include "linking/category_response.h"
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

  // The model values: one per dichotomous item, one per category of a polytomous item.
  const std::int64_t values = outputSize;
  double* firstBlock = out + values;
  double* secondBlock = out + values * (n + 1);
  std::int64_t row = 0;
  // Writes the value row with its derivatives p' v and p'' v v'.
  auto writeRow = [&](double p, double first, double second) {
    out[row] = p;
    if (order >= 1) {
      double* firstRow = firstBlock + row * n;
      for (std::int64_t q = 0; q < n; ++q) firstRow[q] = first * zGradient_[q];
    }
    if (order >= 2) {
      double* secondRow = secondBlock + row * n * n;
      for (std::int64_t q = 0; q < n; ++q) {
        const double scaled = second * zGradient_[q];
        for (std::int64_t s = 0; s < n; ++s) secondRow[q * n + s] = scaled * zGradient_[s];
      }
    }
    ++row;
  };
  for (std::int64_t j = 0; j < items; ++j) {
    const double* a = &itemSlopes[j * d];
    if (order >= 1) {
      for (int k = 0; k < d; ++k) {
        for (int l = 0; l < d; ++l) zGradient_[k * d + l] = a[k] * theta[l];
        zGradient_[d * d + k] = a[k];
      }
    }
    if (itemCategories.count(j) > 2) {
      double intercepts[kMostCategories];
      itemInterceptsOf(j, intercepts);
      categoryResponses(itemCategories.kind(j), a, thetaStar_.data(), d, intercepts,
                        itemCategories.count(j), order, categories_);
      for (int k = 0; k < categories_.count; ++k) {
        writeRow(categories_.p[k], categories_.first[k], categories_.second[k]);
      }
      continue;
    }
    double z = itemIntercepts[j];
    for (int k = 0; k < d; ++k) z += a[k] * thetaStar_[k];
    const Response r = logisticResponse(z, itemAsymptotes[j], order);
    writeRow(r.p, r.first, r.second);
  }
}
