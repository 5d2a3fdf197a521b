// StructuredObjective: the Model 3 and Model 4 criterion with its gradient and Hessian,
// computed from the structure of the model instead of from the full model buffer.
//
// The parameter gradient of z_j at theta is v_j = a_j (x) (theta, 1), so every per-point sum
// over items factors through d x d item sums:
//   Model 4: sum_j c_j v_j v_j' = (sum_j c_j a_j a_j') (x) t t',
//            sum_j e_j v_j = (sum_j e_j a_j) (x) t;
//   Model 3: Jacobian row (sum_j P'_j a_j) (x) t,
//            model Hessian (sum_j P''_j a_j a_j') (x) t t',
// with t = (theta, 1). Per point that costs about J d^2 + d^4 instead of J n^2 (n = d(d+1)).
// The points are split into fixed chunks of blocks; each chunk's sums are combined in chunk
// order, so the results are the same bit for bit for any number of threads. Each response is
// the described computation's to the bit (the same transformed point, z, exp and division), so
// values differ from it only in the order of the sums of positive terms (about 1e-15
// relative), and even a criterion of rounding noise prints the same digits. Gradient and
// Hessian agree to rounding (about 1e-15 relative), which can move where a search stops.
//
// Polytomous items (category_kernels.h) enter the same sums through their s = a'theta*: Model 3
// adds their expected scores, Model 4 the squares of every category; the value is still
// divided by N J (J items). Targets are kept in blocks: for block b of PointBlocks::kBlock
// points, m rows of kBlock values (m = 1 for Model 3; for Model 4 one row per dichotomous
// item, then one per category of each polytomous item). Threads are started once, at construction.
// evaluate() and computeTargets() are called from one thread at a time.
#pragma once

#include <cstdint>
#include <utility>
#include <vector>

#include "data/item_categories.h"
#include "linking/category_kernels.h"
#include "linking/response_kernels.h"
#include "numerics/point_blocks.h"
#include "numerics/thread_pool.h"

class StructuredObjective {
 public:
  enum class Model { TestSurface, ItemSurface };

  StructuredObjective(Model model, int d, int threads);

  // Targets for points rows (padded to whole blocks) of m values.
  static std::int64_t targetSize(const PointBlocks& points, std::int64_t m);

  // Items: items x d slopes, and intercepts and guessing values, with their categories (null or
  // empty: all dichotomous); the arrays are read until the next call. Returns false when the
  // work space cannot be allocated.
  bool setItems(const double* slopes, const double* intercepts, const double* guessing,
                std::int64_t items, const ItemCategories* categories = nullptr);

  // Model values per point of the items set: one per dichotomous item, m per polytomous one.
  std::int64_t targetRows() const { return model_ == Model::ItemSurface ? rows_ : 1; }

  // With the current items at the identity transformation: targets (targetSize values) and
  // weights (one per point: exp(-theta'theta/2) when weighted, else 1). False: no memory.
  bool computeTargets(const PointBlocks& points, bool weighted, double* weights, double* targets);

  // Value (divided by N m), gradient and Hessian laid out as SearchMinimizer::evaluate writes
  // them, at parameters (A row by row, then b). False: no memory for the work space.
  bool evaluate(int order, const double* parameters, const PointBlocks& points,
                const double* weights, const double* targets, double* out);

  int threadCount() const { return pool_.threadCount(); }

 private:
  struct Scratch {
    std::vector<double> theta, thetaStar, sums, gradientSums, curvatureSums, outer;
  };

  bool prepareWork(const PointBlocks& points);
  int loadBlock(const PointBlocks& points, std::int64_t b, Scratch& s) const;
  ItemBlock itemBlock(const Scratch& s) const;
  CategoryBlock categoryBlock(const Scratch& s) const;
  void splitItems(const double* slopes, const double* intercepts, const double* guessing,
                  std::int64_t items, const ItemCategories& categories);
  void evaluateChunk(int order, std::int64_t chunk, const PointBlocks& points,
                     const double* weights, const double* targets, Scratch& scratch,
                     double* partial) const;
  void addPointTerms(int order, int count, std::int64_t first, const double* weights,
                     const double* targets, Scratch& scratch, double* partial) const;
  std::int64_t chunkBlocks(const PointBlocks& points) const;
  // Blocks [first, end) of a chunk.
  std::pair<std::int64_t, std::int64_t> chunkRange(const PointBlocks& points,
                                                   std::int64_t chunk) const;
  std::int64_t partialUsed(int order) const;

  Model model_;
  int d_;
  int packed_;       // d(d+1)/2: packed item sums
  int packedPoint_;  // (d+1)(d+2)/2: packed t t'
  std::int64_t partialSize_;
  ThreadPool pool_;

  const double* slopes_ = nullptr;  // the dichotomous items
  const double* guessing_ = nullptr;
  const double* intercepts_ = nullptr;
  std::int64_t items_ = 0;        // all items
  std::int64_t dichotomous_ = 0;  // the dichotomous ones
  std::int64_t rows_ = 0;         // Model 4 target rows per point
  std::vector<double> slopeProducts_;
  // With polytomous items: the dichotomous items' arrays apart, and the polytomous ones.
  std::vector<double> ownSlopes_, ownIntercepts_, ownGuessing_;
  std::vector<int> categoryCounts_;
  std::vector<std::uint8_t> partialCredit_;
  std::vector<std::size_t> categoryStarts_;
  std::vector<double> categoryIntercepts_, categorySlopes_, categoryProducts_;
  std::vector<double> parameters_;  // A row by row, then b: the transformation being evaluated
  std::vector<Scratch> scratch_;
  std::int64_t chunkCount_ = 0;
  std::vector<double> partials_;
};
