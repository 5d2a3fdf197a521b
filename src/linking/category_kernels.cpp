// Compiled once per processor target by Highway's foreach_target, like the response kernels;
// the variant is picked once, by kernel_dispatch.h.
#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "linking/category_kernels.cpp"
#include <hwy/foreach_target.h>  // IWYU pragma: keep
// Above: must come first.
#include <hwy/highway.h>

#include <cstddef>
#include <cstdint>

#include "linking/category_kernels.h"
#include "linking/category_response.h"
#include "linking/logistic_lanes-inl.h"
#include "linking/response_kernels.h"

HWY_BEFORE_NAMESPACE();
namespace torvak {
namespace HWY_NAMESPACE {
namespace hn = hwy::HWY_NAMESPACE;

constexpr int kMostLanes = 64 / sizeof(double);

// One item's category responses at the lanes of one step, category by category.
struct LaneCategories {
  alignas(64) double p[kMostCategories][kMostLanes];
  alignas(64) double first[kMostCategories][kMostLanes];
  alignas(64) double second[kMostCategories][kMostLanes];
};

struct LaneScore {
  Vec value, first, second;  // E, E', E''
};

// A graded item: boundaries by the logistic with c = 0, categories their differences.
template <int kOrder>
HWY_INLINE LaneScore gradedLanes(Tag tag, const CategoryBlock& in, std::int64_t j,
                                 bool vectorExp, int p, LaneCategories& out) {
  const int m = in.counts[j];
  const double* a = in.slopes + j * in.d;
  const double* d = in.intercepts + in.starts[j];
  const Vec zero = hn::Zero(tag);
  LaneScore score{zero, zero, zero};
  Vec upperP = hn::Set(tag, 1.0), upperFirst = zero, upperSecond = zero;
  for (int k = 0; k < m; ++k) {
    Vec lowerP = zero, lowerFirst = zero, lowerSecond = zero;
    if (k + 1 < m) {
      const Responses r = respondAt<kOrder>(tag, in.d, a, in.thetaStar, d[k], 0.0, vectorExp, p);
      lowerP = r.p;
      score.value = hn::Add(score.value, lowerP);
      if (kOrder >= 1) {
        lowerFirst = r.first;
        score.first = hn::Add(score.first, lowerFirst);
      }
      if (kOrder >= 2) {
        lowerSecond = r.second;
        score.second = hn::Add(score.second, lowerSecond);
      }
    }
    hn::StoreU(hn::Sub(upperP, lowerP), tag, out.p[k]);
    if (kOrder >= 1) hn::StoreU(hn::Sub(upperFirst, lowerFirst), tag, out.first[k]);
    if (kOrder >= 2) hn::StoreU(hn::Sub(upperSecond, lowerSecond), tag, out.second[k]);
    upperP = lowerP;
    upperFirst = lowerFirst;
    upperSecond = lowerSecond;
  }
  return score;
}

// A partial credit item: the categories' exponentials over their sum, the largest first
// taken out; derivatives from the mean and the central moments of the category.
template <int kOrder>
HWY_INLINE LaneScore partialCreditLanes(Tag tag, const CategoryBlock& in, std::int64_t j,
                                        bool vectorExp, int p, LaneCategories& out) {
  const int m = in.counts[j];
  const double* a = in.slopes + j * in.d;
  const double* d = in.intercepts + in.starts[j];
  const Vec zero = hn::Zero(tag);
  Vec s = zero;
  for (int k = 0; k < in.d; ++k) {
    s = hn::Add(s, hn::Mul(hn::Set(tag, a[k]), hn::LoadU(tag, in.thetaStar + k * kB + p)));
  }
  Vec largest = zero;  // u_0 = 0
  hn::StoreU(zero, tag, out.p[0]);
  for (int k = 1; k < m; ++k) {
    const Vec u = hn::Add(hn::Mul(hn::Set(tag, static_cast<double>(k)), s), hn::Set(tag, d[k - 1]));
    hn::StoreU(u, tag, out.p[k]);
    largest = hn::Max(largest, u);
  }
  const Vec lowest = hn::Set(tag, kLowestCategoryExponent);
  Vec sum = zero;
  for (int k = 0; k < m; ++k) {
    const Vec x = hn::Max(hn::Sub(hn::LoadU(tag, out.p[k]), largest), lowest);
    const Vec e = vectorExp ? libraryExp(tag, x) : laneExp(tag, x);
    hn::StoreU(e, tag, out.p[k]);
    sum = hn::Add(sum, e);
  }
  LaneScore score{zero, zero, zero};
  for (int k = 0; k < m; ++k) {
    const Vec probability = hn::Div(hn::LoadU(tag, out.p[k]), sum);
    hn::StoreU(probability, tag, out.p[k]);
    score.value = hn::Add(score.value, hn::Mul(hn::Set(tag, static_cast<double>(k)), probability));
  }
  if (kOrder < 1) return score;
  for (int k = 0; k < m; ++k) {
    const Vec centred = hn::Sub(hn::Set(tag, static_cast<double>(k)), score.value);
    const Vec first = hn::Mul(hn::LoadU(tag, out.p[k]), centred);
    hn::StoreU(first, tag, out.first[k]);
    score.first = hn::Add(score.first, hn::Mul(centred, first));
    score.second = hn::Add(score.second, hn::Mul(hn::Mul(centred, centred), first));
  }
  if (kOrder < 2) return score;
  for (int k = 0; k < m; ++k) {
    const Vec centred = hn::Sub(hn::Set(tag, static_cast<double>(k)), score.value);
    const Vec spread = hn::Sub(hn::Mul(centred, centred), score.first);
    hn::StoreU(hn::Mul(hn::LoadU(tag, out.p[k]), spread), tag, out.second[k]);
  }
  return score;
}

template <int kOrder>
HWY_INLINE LaneScore itemLanes(Tag tag, const CategoryBlock& in, std::int64_t j, bool vectorExp,
                               int p, LaneCategories& out) {
  return in.partialCredit[j] != 0 ? partialCreditLanes<kOrder>(tag, in, j, vectorExp, p, out)
                                  : gradedLanes<kOrder>(tag, in, j, vectorExp, p, out);
}

void CategoryResponseBlockImpl(const CategoryBlock& in, bool vectorExp, double* probabilities) {
  const Tag tag;
  const int lanes = static_cast<int>(hn::Lanes(tag));
  LaneCategories lane;
  std::int64_t row = 0;
  for (std::int64_t j = 0; j < in.items; ++j) {
    const int m = in.counts[j];
    for (int p = 0; p < kB; p += lanes) {
      itemLanes<0>(tag, in, j, vectorExp, p, lane);
      for (int k = 0; k < m; ++k) {
        hn::StoreU(hn::LoadU(tag, lane.p[k]), tag, probabilities + (row + k) * kB + p);
      }
    }
    row += m;
  }
}

template <int kOrder>
void categoryItemSurface(const CategoryBlock& in, bool vectorExp, const double* targets,
                         double* squares, double* e, double* c) {
  const Tag tag;
  const int lanes = static_cast<int>(hn::Lanes(tag));
  const int packed = in.d * (in.d + 1) / 2;
  LaneCategories lane;
  std::int64_t row = 0;
  for (std::int64_t j = 0; j < in.items; ++j) {
    const int m = in.counts[j];
    for (int p = 0; p < kB; p += lanes) {
      itemLanes<kOrder>(tag, in, j, vectorExp, p, lane);
      Vec sum = hn::LoadU(tag, squares + p);
      Vec firstFactor = hn::Zero(tag), secondFactor = hn::Zero(tag);
      for (int k = 0; k < m; ++k) {
        const Vec r = hn::Sub(hn::LoadU(tag, targets + (row + k) * kB + p), hn::LoadU(tag, lane.p[k]));
        sum = hn::MulAdd(r, r, sum);
        if (kOrder >= 1) {
          const Vec first = hn::LoadU(tag, lane.first[k]);
          firstFactor = hn::MulAdd(r, first, firstFactor);
          if (kOrder >= 2) {
            const Vec square = hn::NegMulAdd(r, hn::LoadU(tag, lane.second[k]), hn::Mul(first, first));
            secondFactor = hn::Add(secondFactor, square);
          }
        }
      }
      hn::StoreU(sum, tag, squares + p);
      if (kOrder >= 1) addScaled(tag, firstFactor, in.slopes + j * in.d, in.d, e, p);
      if (kOrder >= 2) addScaled(tag, secondFactor, in.slopeProducts + j * packed, packed, c, p);
    }
    row += m;
  }
}

template <int kOrder>
void categoryTestSurface(const CategoryBlock& in, bool vectorExp, double* total, double* g,
                         double* s) {
  const Tag tag;
  const int lanes = static_cast<int>(hn::Lanes(tag));
  const int packed = in.d * (in.d + 1) / 2;
  LaneCategories lane;
  for (std::int64_t j = 0; j < in.items; ++j) {
    for (int p = 0; p < kB; p += lanes) {
      const LaneScore score = itemLanes<kOrder>(tag, in, j, vectorExp, p, lane);
      hn::StoreU(hn::Add(hn::LoadU(tag, total + p), score.value), tag, total + p);
      if (kOrder >= 1) addScaled(tag, score.first, in.slopes + j * in.d, in.d, g, p);
      if (kOrder >= 2) addScaled(tag, score.second, in.slopeProducts + j * packed, packed, s, p);
    }
  }
}

void CategoryItemSurfaceBlockImpl(int order, const CategoryBlock& in, bool vectorExp,
                                  const double* targets, double* squares, double* e, double* c) {
  if (order <= 0) {
    categoryItemSurface<0>(in, vectorExp, targets, squares, e, c);
  } else if (order == 1) {
    categoryItemSurface<1>(in, vectorExp, targets, squares, e, c);
  } else {
    categoryItemSurface<2>(in, vectorExp, targets, squares, e, c);
  }
}

void CategoryTestSurfaceBlockImpl(int order, const CategoryBlock& in, bool vectorExp,
                                  double* total, double* g, double* s) {
  if (order <= 0) {
    categoryTestSurface<0>(in, vectorExp, total, g, s);
  } else if (order == 1) {
    categoryTestSurface<1>(in, vectorExp, total, g, s);
  } else {
    categoryTestSurface<2>(in, vectorExp, total, g, s);
  }
}

}  // namespace HWY_NAMESPACE
}  // namespace torvak
HWY_AFTER_NAMESPACE();

#if HWY_ONCE
#include "linking/kernel_dispatch.h"

void categoryResponseBlock(const CategoryBlock& in, double* probabilities) {
  static const auto kernel = TORVAK_PICK(CategoryResponseBlockImpl);
  kernel(in, vectorExpIsExact(), probabilities);
}

void categoryItemSurfaceBlock(int order, const CategoryBlock& in, const double* targets,
                              double* squares, double* e, double* c) {
  static const auto kernel = TORVAK_PICK(CategoryItemSurfaceBlockImpl);
  kernel(order, in, vectorExpIsExact(), targets, squares, e, c);
}

void categoryTestSurfaceBlock(int order, const CategoryBlock& in, double* total, double* g,
                              double* s) {
  static const auto kernel = TORVAK_PICK(CategoryTestSurfaceBlockImpl);
  kernel(order, in, vectorExpIsExact(), total, g, s);
}
#endif  // HWY_ONCE
