#include "linking/structured_objective.h"

#include <algorithm>
#include <new>
#include <stdexcept>

#include "linking/logistic_response.h"
#include "linking/response_kernels.h"

namespace {

constexpr int kB = PointBlocks::kBlock;
// Chunks of points whose sums are kept apart: enough for any thread count we expect, few
// enough that their sums stay small next to the points.
constexpr std::int64_t kMaxChunks = 64;
constexpr std::int64_t kPartialBudget = std::int64_t{1} << 22;  // doubles for all chunk sums

// Index of (a, b), a <= b, in a packed upper triangle of a size x size matrix, row by row.
int packedIndex(int a, int b, int size) { return a * size - a * (a - 1) / 2 + (b - a); }

}  // namespace

StructuredObjective::StructuredObjective(Model model, int d, int threads)
    : model_(model),
      d_(d),
      packed_(d * (d + 1) / 2),
      packedPoint_((d + 1) * (d + 2) / 2),
      partialSize_(1 + static_cast<std::int64_t>(d) * (d + 1) +
                   static_cast<std::int64_t>(packed_) * packedPoint_),
      pool_(threads) {}

std::int64_t StructuredObjective::targetSize(const PointBlocks& points, std::int64_t m) {
  return points.blockCount() * kB * m;
}

namespace {

void packSlopeProducts(const double* slopes, std::int64_t items, int d, double* products) {
  const int packed = d * (d + 1) / 2;
  for (std::int64_t j = 0; j < items; ++j) {
    const double* a = slopes + j * d;
    double* out = products + j * packed;
    for (int k = 0; k < d; ++k) {
      for (int l = k; l < d; ++l) out[packedIndex(k, l, d)] = a[k] * a[l];
    }
  }
}

}  // namespace

bool StructuredObjective::setItems(const double* slopes, const double* intercepts,
                                   const double* guessing, std::int64_t items,
                                   const ItemCategories* categories) {
  try {
    if (categories != nullptr && categories->polytomous()) {
      splitItems(slopes, intercepts, guessing, items, *categories);
    } else {
      slopes_ = slopes;
      intercepts_ = intercepts;
      guessing_ = guessing;
      dichotomous_ = items;
      categoryCounts_.clear();
    }
    slopeProducts_.assign(static_cast<std::size_t>(dichotomous_ * packed_), 0.0);
  } catch (const std::bad_alloc&) {
    return false;
  } catch (const std::length_error&) {
    return false;
  }
  items_ = items;
  rows_ = dichotomous_;
  for (int m : categoryCounts_) rows_ += m;
  packSlopeProducts(slopes_, dichotomous_, d_, slopeProducts_.data());
  return true;
}

// The dichotomous items into arrays of their own, the polytomous ones into the category
// arrays, each in item order.
void StructuredObjective::splitItems(const double* slopes, const double* intercepts,
                                     const double* guessing, std::int64_t items,
                                     const ItemCategories& categories) {
  ownSlopes_.clear();
  ownIntercepts_.clear();
  ownGuessing_.clear();
  categoryCounts_.clear();
  partialCredit_.clear();
  categoryStarts_.clear();
  categoryIntercepts_.clear();
  categorySlopes_.clear();
  for (std::int64_t j = 0; j < items; ++j) {
    const auto item = static_cast<std::size_t>(j);
    const double* a = slopes + j * d_;
    const int m = categories.count(item);
    if (m <= 2) {
      ownSlopes_.insert(ownSlopes_.end(), a, a + d_);
      ownIntercepts_.push_back(intercepts[j]);
      ownGuessing_.push_back(guessing[j]);
      continue;
    }
    categoryCounts_.push_back(m);
    partialCredit_.push_back(categories.kind(item) == ItemKind::PartialCredit ? 1 : 0);
    categoryStarts_.push_back(categoryIntercepts_.size());
    categoryIntercepts_.push_back(intercepts[j]);
    categoryIntercepts_.insert(categoryIntercepts_.end(), categories.restOf(item),
                               categories.restOf(item) + (m - 2));
    categorySlopes_.insert(categorySlopes_.end(), a, a + d_);
  }
  slopes_ = ownSlopes_.data();
  intercepts_ = ownIntercepts_.data();
  guessing_ = ownGuessing_.data();
  dichotomous_ = static_cast<std::int64_t>(ownIntercepts_.size());
  const auto polytomous = static_cast<std::int64_t>(categoryCounts_.size());
  categoryProducts_.assign(static_cast<std::size_t>(polytomous * packed_), 0.0);
  packSlopeProducts(categorySlopes_.data(), polytomous, d_, categoryProducts_.data());
}

std::int64_t StructuredObjective::chunkBlocks(const PointBlocks& points) const {
  const std::int64_t blocks = points.blockCount();
  const std::int64_t byMemory = std::max<std::int64_t>(1, kPartialBudget / partialSize_);
  const std::int64_t chunks = std::max<std::int64_t>(1, std::min({blocks, kMaxChunks, byMemory}));
  return (blocks + chunks - 1) / chunks;
}

std::pair<std::int64_t, std::int64_t> StructuredObjective::chunkRange(const PointBlocks& points,
                                                                      std::int64_t chunk) const {
  const std::int64_t per = chunkBlocks(points);
  return {chunk * per, std::min(points.blockCount(), (chunk + 1) * per)};
}

// The leading entries of a chunk's sums that an evaluation of this order uses.
std::int64_t StructuredObjective::partialUsed(int order) const {
  return order == 0 ? 1 : order == 1 ? 1 + static_cast<std::int64_t>(d_) * (d_ + 1) : partialSize_;
}

bool StructuredObjective::prepareWork(const PointBlocks& points) {
  try {
    const std::int64_t per = chunkBlocks(points);
    chunkCount_ = (points.blockCount() + per - 1) / per;
    partials_.resize(static_cast<std::size_t>(chunkCount_ * partialSize_));
    scratch_.resize(static_cast<std::size_t>(pool_.threadCount()));
    parameters_.resize(static_cast<std::size_t>(d_) * (d_ + 1));
    for (Scratch& s : scratch_) {
      s.theta.resize(static_cast<std::size_t>(d_) * kB);
      s.thetaStar.resize(static_cast<std::size_t>(d_) * kB);
      s.sums.resize(kB);
      s.gradientSums.resize(static_cast<std::size_t>(d_) * kB);
      s.curvatureSums.resize(static_cast<std::size_t>(packed_) * kB);
      s.outer.resize(static_cast<std::size_t>(packedPoint_));
    }
  } catch (const std::bad_alloc&) {
    return false;
  } catch (const std::length_error&) {
    return false;
  }
  return true;
}

// theta* = A theta + b for the loaded block, with the operations of transformedPoint() in its
// order for every point (b_k, then A_kl theta_l added for l = 0, 1, ...), so that the
// responses are the described computation's to the bit; points innermost, to vectorise.
int StructuredObjective::loadBlock(const PointBlocks& points, std::int64_t b, Scratch& s) const {
  const int d = d_;
  const int count = points.load(b, s.theta.data());
  const double* shift = parameters_.data() + d * d;
  for (int k = 0; k < d; ++k) {
    double* out = s.thetaStar.data() + k * kB;
    for (int p = 0; p < kB; ++p) out[p] = shift[k];
    for (int l = 0; l < d; ++l) {
      const double factor = parameters_[k * d + l];
      const double* theta = s.theta.data() + l * kB;
      for (int p = 0; p < kB; ++p) out[p] += factor * theta[p];
    }
  }
  return count;
}

ItemBlock StructuredObjective::itemBlock(const Scratch& s) const {
  return ItemBlock{d_,      dichotomous_,          intercepts_,       guessing_,
                   slopes_, slopeProducts_.data(), s.thetaStar.data()};
}

CategoryBlock StructuredObjective::categoryBlock(const Scratch& s) const {
  return CategoryBlock{d_,
                       static_cast<std::int64_t>(categoryCounts_.size()),
                       categoryCounts_.data(),
                       partialCredit_.data(),
                       categoryStarts_.data(),
                       categoryIntercepts_.data(),
                       categorySlopes_.data(),
                       categoryProducts_.data(),
                       s.thetaStar.data()};
}

bool StructuredObjective::computeTargets(const PointBlocks& points, bool weighted, double* weights,
                                         double* targets) {
  if (!prepareWork(points)) return false;
  std::fill(parameters_.begin(), parameters_.end(), 0.0);
  for (int k = 0; k < d_; ++k) parameters_[k * d_ + k] = 1.0;
  pool_.run(static_cast<int>(chunkCount_), [&](int chunk, int thread) {
    Scratch& s = scratch_[thread];
    const ItemBlock in = itemBlock(s);
    const CategoryBlock polytomous = categoryBlock(s);
    double theta[32];
    const auto [begin, end] = chunkRange(points, chunk);
    for (std::int64_t b = begin; b < end; ++b) {
      const int count = loadBlock(points, b, s);
      for (int p = 0; p < count; ++p) {
        for (int k = 0; k < d_; ++k) theta[k] = s.theta[k * kB + p];
        weights[b * kB + p] = weighted ? normalWeight(theta, d_) : 1.0;
      }
      if (model_ == Model::ItemSurface) {
        double* rows = targets + b * rows_ * kB;
        responseBlock(in, rows);
        if (polytomous.items > 0) categoryResponseBlock(polytomous, rows + dichotomous_ * kB);
      } else {
        // The test surface: the sum over items, as a value evaluation adds it up.
        std::fill(targets + b * kB, targets + (b + 1) * kB, 0.0);
        testSurfaceBlock(0, in, targets + b * kB, nullptr, nullptr);
        if (polytomous.items > 0) {
          categoryTestSurfaceBlock(0, polytomous, targets + b * kB, nullptr, nullptr);
        }
      }
    }
  });
  return true;
}

void StructuredObjective::addPointTerms(int order, int count, std::int64_t first,
                                        const double* weights, const double* targets, Scratch& s,
                                        double* partial) const {
  const int d = d_;
  const bool perItem = model_ == Model::ItemSurface;
  double* gradient = partial + 1;
  double* hessian = partial + 1 + d * (d + 1);
  for (int p = 0; p < count; ++p) {
    const double w = weights[first + p];
    // A zero weight adds nothing, whatever the model gives at that point.
    if (w == 0.0) continue;
    double r = 0.0;
    if (perItem) {
      partial[0] += w * s.sums[p];
    } else {
      r = targets[first + p] - s.sums[p];
      partial[0] += w * (r * r);
    }
    if (order < 1) continue;
    for (int k = 0; k < d; ++k) {
      const double g = s.gradientSums[k * kB + p];
      const double scaled = w * (perItem ? g : r * g);
      double* row = gradient + k * (d + 1);
      for (int l = 0; l < d; ++l) row[l] += scaled * s.theta[l * kB + p];
      row[d] += scaled;
    }
    if (order < 2) continue;
    // t t' with t = (theta, 1), packed.
    int t = 0;
    for (int l = 0; l <= d; ++l) {
      const double tl = l < d ? s.theta[l * kB + p] : 1.0;
      for (int m = l; m <= d; ++m) s.outer[t++] = tl * (m < d ? s.theta[m * kB + p] : 1.0);
    }
    int q = 0;
    for (int k = 0; k < d; ++k) {
      for (int l = k; l < d; ++l, ++q) {
        double c = s.curvatureSums[q * kB + p];
        if (!perItem) c = s.gradientSums[k * kB + p] * s.gradientSums[l * kB + p] - r * c;
        const double scaled = w * c;
        double* row = hessian + static_cast<std::int64_t>(q) * packedPoint_;
        for (int u = 0; u < packedPoint_; ++u) row[u] += scaled * s.outer[u];
      }
    }
  }
}

void StructuredObjective::evaluateChunk(int order, std::int64_t chunk, const PointBlocks& points,
                                        const double* weights, const double* targets, Scratch& s,
                                        double* partial) const {
  std::fill(partial, partial + partialUsed(order), 0.0);
  const auto [begin, end] = chunkRange(points, chunk);
  const ItemBlock in = itemBlock(s);
  const CategoryBlock polytomous = categoryBlock(s);
  for (std::int64_t b = begin; b < end; ++b) {
    const int count = loadBlock(points, b, s);
    std::fill(s.sums.begin(), s.sums.end(), 0.0);
    if (order >= 1) std::fill(s.gradientSums.begin(), s.gradientSums.end(), 0.0);
    if (order >= 2) std::fill(s.curvatureSums.begin(), s.curvatureSums.end(), 0.0);
    if (model_ == Model::ItemSurface) {
      const double* rows = targets + b * rows_ * kB;
      itemSurfaceBlock(order, in, rows, s.sums.data(), s.gradientSums.data(),
                       s.curvatureSums.data());
      if (polytomous.items > 0) {
        categoryItemSurfaceBlock(order, polytomous, rows + dichotomous_ * kB, s.sums.data(),
                                 s.gradientSums.data(), s.curvatureSums.data());
      }
    } else {
      testSurfaceBlock(order, in, s.sums.data(), s.gradientSums.data(), s.curvatureSums.data());
      if (polytomous.items > 0) {
        categoryTestSurfaceBlock(order, polytomous, s.sums.data(), s.gradientSums.data(),
                                 s.curvatureSums.data());
      }
    }
    addPointTerms(order, count, b * kB, weights, targets, s, partial);
  }
}

bool StructuredObjective::evaluate(int order, const double* parameters, const PointBlocks& points,
                                   const double* weights, const double* targets, double* out) {
  order = std::clamp(order, 0, 2);
  if (!prepareWork(points)) return false;
  std::copy(parameters, parameters + parameters_.size(), parameters_.begin());
  pool_.run(static_cast<int>(chunkCount_), [&](int chunk, int thread) {
    evaluateChunk(order, chunk, points, weights, targets, scratch_[thread],
                  &partials_[chunk * partialSize_]);
  });
  // Chunk sums in chunk order, whichever thread computed them.
  const std::int64_t used = partialUsed(order);
  double* total = partials_.data();
  for (std::int64_t c = 1; c < chunkCount_; ++c) {
    const double* partial = &partials_[c * partialSize_];
    for (std::int64_t u = 0; u < used; ++u) total[u] += partial[u];
  }

  const int d = d_;
  const int n = d * (d + 1);
  const std::int64_t m = model_ == Model::ItemSurface ? items_ : 1;
  out[0] = total[0] / static_cast<double>(points.pointCount() * m);
  if (order < 1) return true;
  // Parameter r stands for A[k][l] (r = k d + l) or b[k] (r = d^2 + k, l = d).
  auto row = [d](int r) { return r < d * d ? r / d : r - d * d; };
  auto column = [d](int r) { return r < d * d ? r % d : d; };
  for (int r = 0; r < n; ++r) out[1 + r] = -total[1 + row(r) * (d + 1) + column(r)];
  if (order < 2) return true;
  const double* hessian = total + 1 + n;
  double* hessianOut = out + 1 + n;
  for (int r = 0; r < n; ++r) {
    const int k = row(r), l = column(r);
    for (int c = 0; c < n; ++c) {
      const int k2 = row(c), l2 = column(c);
      const int q = packedIndex(std::min(k, k2), std::max(k, k2), d);
      const int u = packedIndex(std::min(l, l2), std::max(l, l2), d + 1);
      hessianOut[r * n + c] = hessian[static_cast<std::int64_t>(q) * packedPoint_ + u];
    }
  }
  return true;
}
