// Compiled once per processor target by Highway's foreach_target; the best target this
// processor runs is picked once, below. We pick it ourselves rather than through Highway's
// dispatch table, which lives in libhwy.so: loading that library runs a timer calibration of
// several milliseconds in every process, a tenth of a whole small run.
#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "linking/response_kernels.cpp"
#include <hwy/foreach_target.h>  // IWYU pragma: keep
// Above: must come first.
#include <hwy/contrib/math/math-inl.h>
#include <hwy/highway.h>

#include "linking/response_kernels.h"
#include "numerics/point_blocks.h"

HWY_BEFORE_NAMESPACE();
namespace torvak {
namespace HWY_NAMESPACE {
namespace hn = hwy::HWY_NAMESPACE;

using Tag = hn::ScalableTag<double>;
using Vec = hn::Vec<Tag>;
constexpr int kB = PointBlocks::kBlock;

struct Responses {
  Vec p, first, second, r;
};

// P, P' and P'' of item j at the points of lanes [p, p + lanes); first and second only for
// the orders that need them. Outside [-20, 20] the response is flat; a NaN z stays NaN.
template <int kOrder>
HWY_INLINE Responses respond(Tag tag, const ItemBlock& in, std::int64_t j, int p) {
  const double* alpha = in.alpha + j * in.d;
  Vec z = hn::Set(tag, in.beta[j]);
  for (int k = 0; k < in.d; ++k) {
    z = hn::MulAdd(hn::Set(tag, alpha[k]), hn::LoadU(tag, in.theta + k * kB + p), z);
  }
  const Vec limit = hn::Set(tag, 20.0);
  const Vec one = hn::Set(tag, 1.0);
  const Vec c = hn::Set(tag, in.guessing[j]);
  const Vec oneMinusC = hn::Set(tag, 1.0 - in.guessing[j]);
  const auto high = hn::Gt(z, limit);
  const auto low = hn::Lt(z, hn::Neg(limit));
  const Vec e = hn::Exp(tag, hn::Neg(hn::Min(hn::Max(z, hn::Neg(limit)), limit)));
  const Vec onePlus = hn::Add(one, e);
  const Vec inverse = hn::Div(one, onePlus);
  Responses out;
  // z - z is 0 for a finite z and NaN otherwise; infinities are caught by the masks.
  const Vec inside = hn::Add(hn::MulAdd(oneMinusC, inverse, c), hn::Sub(z, z));
  out.p = hn::IfThenElse(high, one, hn::IfThenElse(low, c, inside));
  if (kOrder >= 1) {
    const auto flat = hn::Or(high, low);
    const Vec scaled = hn::Mul(hn::Mul(oneMinusC, e), hn::Mul(inverse, inverse));
    out.first = hn::IfThenZeroElse(flat, scaled);
    if (kOrder >= 2) {
      out.second = hn::IfThenZeroElse(flat, hn::Mul(hn::Mul(scaled, inverse), hn::Sub(e, one)));
    }
  }
  return out;
}

void ResponseBlockImpl(const ItemBlock& in, double* probabilities) {
  const Tag tag;
  const int lanes = static_cast<int>(hn::Lanes(tag));
  for (std::int64_t j = 0; j < in.items; ++j) {
    for (int p = 0; p < kB; p += lanes) {
      hn::StoreU(respond<0>(tag, in, j, p).p, tag, probabilities + j * kB + p);
    }
  }
}

template <int kOrder>
void itemSurface(const ItemBlock& in, const double* targets, double* squares, double* e,
                 double* c) {
  const Tag tag;
  const int lanes = static_cast<int>(hn::Lanes(tag));
  const int d = in.d;
  const int packed = d * (d + 1) / 2;
  for (std::int64_t j = 0; j < in.items; ++j) {
    const double* a = in.slopes + j * d;
    const double* aa = in.slopeProducts + j * packed;
    for (int p = 0; p < kB; p += lanes) {
      const Responses resp = respond<kOrder>(tag, in, j, p);
      const Vec r = hn::Sub(hn::LoadU(tag, targets + j * kB + p), resp.p);
      hn::StoreU(hn::MulAdd(r, r, hn::LoadU(tag, squares + p)), tag, squares + p);
      if (kOrder < 1) continue;
      const Vec gradientFactor = hn::Mul(r, resp.first);
      for (int k = 0; k < d; ++k) {
        double* row = e + k * kB + p;
        hn::StoreU(hn::MulAdd(gradientFactor, hn::Set(tag, a[k]), hn::LoadU(tag, row)), tag, row);
      }
      if (kOrder < 2) continue;
      const Vec curvature = hn::NegMulAdd(r, resp.second, hn::Mul(resp.first, resp.first));
      for (int q = 0; q < packed; ++q) {
        double* row = c + q * kB + p;
        hn::StoreU(hn::MulAdd(curvature, hn::Set(tag, aa[q]), hn::LoadU(tag, row)), tag, row);
      }
    }
  }
}

void ItemSurfaceBlockImpl(int order, const ItemBlock& in, const double* targets,
                          double* squares, double* e, double* c) {
  if (order <= 0) {
    itemSurface<0>(in, targets, squares, e, c);
  } else if (order == 1) {
    itemSurface<1>(in, targets, squares, e, c);
  } else {
    itemSurface<2>(in, targets, squares, e, c);
  }
}

template <int kOrder>
void testSurface(const ItemBlock& in, double* total, double* g, double* s) {
  const Tag tag;
  const int lanes = static_cast<int>(hn::Lanes(tag));
  const int d = in.d;
  const int packed = d * (d + 1) / 2;
  for (std::int64_t j = 0; j < in.items; ++j) {
    const double* a = in.slopes + j * d;
    const double* aa = in.slopeProducts + j * packed;
    for (int p = 0; p < kB; p += lanes) {
      const Responses resp = respond<kOrder>(tag, in, j, p);
      hn::StoreU(hn::Add(hn::LoadU(tag, total + p), resp.p), tag, total + p);
      if (kOrder < 1) continue;
      for (int k = 0; k < d; ++k) {
        double* row = g + k * kB + p;
        hn::StoreU(hn::MulAdd(resp.first, hn::Set(tag, a[k]), hn::LoadU(tag, row)), tag, row);
      }
      if (kOrder < 2) continue;
      for (int q = 0; q < packed; ++q) {
        double* row = s + q * kB + p;
        hn::StoreU(hn::MulAdd(resp.second, hn::Set(tag, aa[q]), hn::LoadU(tag, row)), tag, row);
      }
    }
  }
}

void TestSurfaceBlockImpl(int order, const ItemBlock& in, double* total, double* g, double* s) {
  if (order <= 0) {
    testSurface<0>(in, total, g, s);
  } else if (order == 1) {
    testSurface<1>(in, total, g, s);
  } else {
    testSurface<2>(in, total, g, s);
  }
}

}  // namespace HWY_NAMESPACE
}  // namespace torvak
HWY_AFTER_NAMESPACE();

#if HWY_ONCE
namespace {

// The instruction sets Highway's x86 targets assume, as the processor and the system report
// them (the compiler's check includes the system's support for the wider registers).
enum class Level { Portable, Ssse3, Sse4, Avx2, Avx3 };

Level detectLevel() {
#if defined(__x86_64__) || defined(__i386__)
  __builtin_cpu_init();
  const bool ssse3 = __builtin_cpu_supports("ssse3");
  const bool sse4 = ssse3 && __builtin_cpu_supports("sse4.2") && __builtin_cpu_supports("pclmul") &&
                    __builtin_cpu_supports("aes");
  const bool avx2 = sse4 && __builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma") &&
                    __builtin_cpu_supports("bmi") && __builtin_cpu_supports("bmi2") &&
                    __builtin_cpu_supports("f16c");
  const bool avx3 = avx2 && __builtin_cpu_supports("avx512f") &&
                    __builtin_cpu_supports("avx512vl") && __builtin_cpu_supports("avx512dq") &&
                    __builtin_cpu_supports("avx512bw");
  if (avx3) return Level::Avx3;
  if (avx2) return Level::Avx2;
  if (sse4) return Level::Sse4;
  if (ssse3) return Level::Ssse3;
#endif
  return Level::Portable;
}

// The compiled variant of a kernel for the best level this processor runs.
#if HWY_TARGETS & HWY_AVX3
#define TORVAK_AVX3(fn) &torvak::N_AVX3::fn
#else
#define TORVAK_AVX3(fn) nullptr
#endif
#if HWY_TARGETS & HWY_AVX2
#define TORVAK_AVX2(fn) &torvak::N_AVX2::fn
#else
#define TORVAK_AVX2(fn) nullptr
#endif
#if HWY_TARGETS & HWY_SSE4
#define TORVAK_SSE4(fn) &torvak::N_SSE4::fn
#else
#define TORVAK_SSE4(fn) nullptr
#endif
#if HWY_TARGETS & HWY_SSSE3
#define TORVAK_SSSE3(fn) &torvak::N_SSSE3::fn
#else
#define TORVAK_SSSE3(fn) nullptr
#endif
#define TORVAK_PICK(fn) \
  pick(TORVAK_AVX3(fn), TORVAK_AVX2(fn), TORVAK_SSE4(fn), TORVAK_SSSE3(fn), &torvak::HWY_STATIC_DISPATCH(fn))

template <class F>
F pick(F avx3, F avx2, F sse4, F ssse3, F portable) {
  static const Level level = detectLevel();
  const F byLevel[] = {portable, ssse3, sse4, avx2, avx3};
  for (int l = static_cast<int>(level); l > 0; --l) {
    if (byLevel[l] != nullptr) return byLevel[l];
  }
  return portable;
}

}  // namespace

void responseBlock(const ItemBlock& in, double* probabilities) {
  static const auto kernel = TORVAK_PICK(ResponseBlockImpl);
  kernel(in, probabilities);
}

void itemSurfaceBlock(int order, const ItemBlock& in, const double* targets, double* squares,
                      double* e, double* c) {
  static const auto kernel = TORVAK_PICK(ItemSurfaceBlockImpl);
  kernel(order, in, targets, squares, e, c);
}

void testSurfaceBlock(int order, const ItemBlock& in, double* total, double* g, double* s) {
  static const auto kernel = TORVAK_PICK(TestSurfaceBlockImpl);
  kernel(order, in, total, g, s);
}
#endif  // HWY_ONCE
