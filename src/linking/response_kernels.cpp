// Compiled once per processor target by Highway's foreach_target; the best target this
// processor runs is picked once, below. We pick it ourselves rather than through Highway's
// dispatch table, which lives in libhwy.so: loading that library runs a timer calibration of
// several milliseconds in every process, a tenth of a whole small run.
#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "linking/response_kernels.cpp"
#include <hwy/foreach_target.h>  // IWYU pragma: keep
// Above: must come first.
#include <hwy/highway.h>

#include <algorithm>
#include <cmath>
#include <cstddef>

#include "linking/logistic_lanes-inl.h"
#include "linking/response_kernels.h"
#include "numerics/point_blocks.h"

HWY_BEFORE_NAMESPACE();
namespace torvak {
namespace HWY_NAMESPACE {
namespace hn = hwy::HWY_NAMESPACE;

void ExpBlockImpl(const double* x, double* out, int count) {
  const Tag tag;
  const int lanes = static_cast<int>(hn::Lanes(tag));
  alignas(64) double padded[64 / sizeof(double)] = {};
  for (int i = 0; i < count; i += lanes) {
    const int n = std::min(lanes, count - i);
    std::copy(x + i, x + i + n, padded);
    hn::StoreU(libraryExp(tag, hn::LoadU(tag, padded)), tag, padded);
    std::copy(padded, padded + n, out + i);
  }
}

void ResponseBlockImpl(const ItemBlock& in, bool vectorExp, double* probabilities) {
  const Tag tag;
  const int lanes = static_cast<int>(hn::Lanes(tag));
  for (std::int64_t j = 0; j < in.items; ++j) {
    for (int p = 0; p < kB; p += lanes) {
      hn::StoreU(respond<0>(tag, in, vectorExp, j, p).p, tag, probabilities + j * kB + p);
    }
  }
}

// Orders 1 and 2, item by item. Model 4 (kPerItem, with targets y and r = y - P):
//   sums += r^2, first_k += r P' a_jk, second_kl += (P'^2 - r P'') a_jk a_jl;
// Model 3: sums += P, first_k += P' a_jk, second_kl += P'' a_jk a_jl.
template <bool kPerItem, int kOrder>
void withDerivatives(const ItemBlock& in, bool vectorExp, const double* targets, double* sums,
                     double* first, double* second) {
  const Tag tag;
  const int lanes = static_cast<int>(hn::Lanes(tag));
  const int d = in.d;
  const int packed = d * (d + 1) / 2;
  for (std::int64_t j = 0; j < in.items; ++j) {
    for (int p = 0; p < kB; p += lanes) {
      const Responses resp = respond<kOrder>(tag, in, vectorExp, j, p);
      Vec firstFactor = resp.first;
      Vec secondFactor = resp.second;
      if (kPerItem) {
        const Vec r = hn::Sub(hn::LoadU(tag, targets + j * kB + p), resp.p);
        hn::StoreU(hn::MulAdd(r, r, hn::LoadU(tag, sums + p)), tag, sums + p);
        firstFactor = hn::Mul(r, resp.first);
        if (kOrder >= 2) {
          secondFactor = hn::NegMulAdd(r, resp.second, hn::Mul(resp.first, resp.first));
        }
      } else {
        hn::StoreU(hn::Add(hn::LoadU(tag, sums + p), resp.p), tag, sums + p);
      }
      addScaled(tag, firstFactor, in.slopes + j * d, d, first, p);
      if (kOrder >= 2)
        addScaled(tag, secondFactor, in.slopeProducts + j * packed, packed, second, p);
    }
  }
}

// Values only, the most frequent evaluation: items innermost, so that the sums over items stay
// in a register.
template <bool kPerItem>
void valuesOnly(const ItemBlock& in, bool vectorExp, const double* targets, double* sums) {
  const Tag tag;
  const int lanes = static_cast<int>(hn::Lanes(tag));
  for (int p = 0; p < kB; p += lanes) {
    Vec sum = hn::LoadU(tag, sums + p);
    for (std::int64_t j = 0; j < in.items; ++j) {
      const Vec response = respond<0>(tag, in, vectorExp, j, p).p;
      if (kPerItem) {
        const Vec r = hn::Sub(hn::LoadU(tag, targets + j * kB + p), response);
        sum = hn::MulAdd(r, r, sum);
      } else {
        sum = hn::Add(sum, response);
      }
    }
    hn::StoreU(sum, tag, sums + p);
  }
}

void ItemSurfaceBlockImpl(int order, const ItemBlock& in, bool vectorExp, const double* targets,
                          double* squares, double* e, double* c) {
  if (order <= 0) {
    valuesOnly<true>(in, vectorExp, targets, squares);
  } else if (order == 1) {
    withDerivatives<true, 1>(in, vectorExp, targets, squares, e, c);
  } else {
    withDerivatives<true, 2>(in, vectorExp, targets, squares, e, c);
  }
}

void TestSurfaceBlockImpl(int order, const ItemBlock& in, bool vectorExp, double* total, double* g,
                          double* s) {
  if (order <= 0) {
    valuesOnly<false>(in, vectorExp, nullptr, total);
  } else if (order == 1) {
    withDerivatives<false, 1>(in, vectorExp, nullptr, total, g, s);
  } else {
    withDerivatives<false, 2>(in, vectorExp, nullptr, total, g, s);
  }
}

}  // namespace HWY_NAMESPACE
}  // namespace torvak
HWY_AFTER_NAMESPACE();

#if HWY_ONCE
#include "linking/kernel_dispatch.h"

namespace {

// Whether the picked exp gives std::exp's bits: over [-20, 20] in fine steps and at points
// whose low bits vary, then over [-500, 0], about 25,000 values (a fraction of a
// millisecond, once per process).
bool vectorExpMatchesLibrary() {
  static const auto kernel = TORVAK_PICK(ExpBlockImpl);
  constexpr int kCount = 1024;
  double x[kCount], got[kCount];
  std::uint64_t state = 0x9e3779b97f4a7c15u;
  // The last rounds cover the exponents of partial credit categories, [-500, 0].
  for (int round = 0; round < 24; ++round) {
    for (int i = 0; i < kCount; ++i) {
      state = state * 6364136223846793005u + 1442695040888963407u;
      const double jitter = static_cast<double>(state >> 11) * 0x1p-53;
      x[i] = round == 0  ? -20.0 + 40.0 * i / (kCount - 1)
             : round < 20 ? 40.0 * jitter - 20.0
                          : -500.0 * jitter;
    }
    kernel(x, got, kCount);
    for (int i = 0; i < kCount; ++i) {
      if (got[i] != std::exp(x[i])) return false;  // positive and finite: == is bitwise
    }
  }
  return true;
}

}  // namespace

bool vectorExpIsExact() {
  static const bool matches = vectorExpMatchesLibrary();
  return matches;
}

void expBlock(const double* x, double* out, int count) {
  static const auto kernel = TORVAK_PICK(ExpBlockImpl);
  kernel(x, out, count);
}

void responseBlock(const ItemBlock& in, double* probabilities) {
  static const auto kernel = TORVAK_PICK(ResponseBlockImpl);
  kernel(in, vectorExpIsExact(), probabilities);
}

void itemSurfaceBlock(int order, const ItemBlock& in, const double* targets, double* squares,
                      double* e, double* c) {
  static const auto kernel = TORVAK_PICK(ItemSurfaceBlockImpl);
  kernel(order, in, vectorExpIsExact(), targets, squares, e, c);
}

void testSurfaceBlock(int order, const ItemBlock& in, double* total, double* g, double* s) {
  static const auto kernel = TORVAK_PICK(TestSurfaceBlockImpl);
  kernel(order, in, vectorExpIsExact(), total, g, s);
}
#endif  // HWY_ONCE
