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

#include "linking/exp_table.h"
#include "linking/response_kernels.h"
#include "numerics/point_blocks.h"

HWY_BEFORE_NAMESPACE();
namespace torvak {
namespace HWY_NAMESPACE {
namespace hn = hwy::HWY_NAMESPACE;

using Tag = hn::ScalableTag<double>;
using Vec = hn::Vec<Tag>;
constexpr int kB = PointBlocks::kBlock;

// The C library's exp: exp(x) = 2^(k/N) exp(r) with N = 128, |r| <= ln2 / 2N, the table of
// exp_table.h and a fourth-degree polynomial for exp(r) - 1 (its coefficients below). Where
// the library's exp runs with fused multiply-adds (processors with FMA and AVX2), MulAdd is
// fused here too (the AVX2 and AVX-512 variants); elsewhere both round every product. So for
// x in [-20, 20] the result is the library's to the bit (checked at first use).
constexpr double kInvLn2N = 0x1.71547652b82fep+7;     // N / ln 2
constexpr double kNegLn2HiN = -0x1.62e42fefa0000p-8;  // -ln 2 / N, high part
constexpr double kNegLn2LoN = -0x1.cf79abc9e3b3ap-47;
constexpr double kC2 = 0x1.ffffffffffdbdp-2;
constexpr double kC3 = 0x1.555555555543cp-3;
constexpr double kC4 = 0x1.55555cf172b91p-5;
constexpr double kC5 = 0x1.1111167a4d017p-7;
constexpr double kShift = 0x1.8p52;  // adding it rounds to an integer in the low bits

HWY_INLINE Vec libraryExp(Tag tag, Vec x) {
  const hn::RebindToUnsigned<Tag> du;
  const hn::RebindToSigned<Tag> di;
  const Vec shifted = hn::MulAdd(x, hn::Set(tag, kInvLn2N), hn::Set(tag, kShift));
  const auto k = hn::BitCast(du, shifted);
  const Vec kd = hn::Sub(shifted, hn::Set(tag, kShift));
  const Vec r =
      hn::MulAdd(kd, hn::Set(tag, kNegLn2LoN), hn::MulAdd(kd, hn::Set(tag, kNegLn2HiN), x));
  const auto index = hn::BitCast(di, hn::And(k, hn::Set(du, 127)));
  const Vec tail = hn::BitCast(tag, hn::GatherIndex(du, kExpTable[0], index));
  const Vec scale =
      hn::BitCast(tag, hn::Add(hn::GatherIndex(du, kExpTable[1], index), hn::ShiftLeft<45>(k)));
  const Vec r2 = hn::Mul(r, r);
  const Vec low = hn::MulAdd(r, hn::Set(tag, kC3), hn::Set(tag, kC2));
  const Vec high = hn::MulAdd(r, hn::Set(tag, kC5), hn::Set(tag, kC4));
  const Vec sum = hn::MulAdd(hn::Mul(r2, r2), high, hn::MulAdd(low, r2, hn::Add(tail, r)));
  return hn::MulAdd(scale, sum, scale);
}

// std::exp lane by lane: where the library's exp is not the one above.
HWY_INLINE Vec laneExp(Tag tag, Vec x) {
  alignas(64) double lanes[64 / sizeof(double)];
  hn::StoreU(x, tag, lanes);
  for (std::size_t i = 0; i < hn::Lanes(tag); ++i) lanes[i] = std::exp(lanes[i]);
  return hn::LoadU(tag, lanes);
}

struct Responses {
  Vec p, first, second;
};

// P, P' and P'' of item j at the points of lanes [p, p + lanes); first and second only for
// the orders that need them. z and P are computed as logisticResponse() computes them, with
// no fused operation (the core is compiled without contraction). Outside [-20, 20] the
// response is flat; a NaN z stays NaN.
template <int kOrder>
HWY_INLINE Responses respond(Tag tag, const ItemBlock& in, bool vectorExp, std::int64_t j, int p) {
  const double* a = in.slopes + j * in.d;
  Vec z = hn::Set(tag, in.intercepts[j]);
  for (int k = 0; k < in.d; ++k) {
    z = hn::Add(z, hn::Mul(hn::Set(tag, a[k]), hn::LoadU(tag, in.thetaStar + k * kB + p)));
  }
  const Vec limit = hn::Set(tag, 20.0);
  const Vec one = hn::Set(tag, 1.0);
  const Vec c = hn::Set(tag, in.guessing[j]);
  const Vec oneMinusC = hn::Set(tag, 1.0 - in.guessing[j]);
  const auto high = hn::Gt(z, limit);
  const auto low = hn::Lt(z, hn::Neg(limit));
  const Vec x = hn::Neg(hn::Min(hn::Max(z, hn::Neg(limit)), limit));
  const Vec e = vectorExp ? libraryExp(tag, x) : laneExp(tag, x);
  const Vec onePlus = hn::Add(one, e);
  Responses out;
  // z - z is 0 for a finite z and NaN otherwise; infinities are caught by the masks.
  const Vec inside = hn::Add(hn::Add(c, hn::Div(oneMinusC, onePlus)), hn::Sub(z, z));
  out.p = hn::IfThenElse(high, one, hn::IfThenElse(low, c, inside));
  if (kOrder >= 1) {
    const auto flat = hn::Or(high, low);
    const Vec inverse = hn::Div(one, onePlus);
    const Vec scaled = hn::Mul(hn::Mul(oneMinusC, e), hn::Mul(inverse, inverse));
    out.first = hn::IfThenZeroElse(flat, scaled);
    if (kOrder >= 2) {
      out.second = hn::IfThenZeroElse(flat, hn::Mul(hn::Mul(scaled, inverse), hn::Sub(e, one)));
    }
  }
  return out;
}

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

// rows[q] += factor coefficients[q] for q < count, at the lanes from p (rows kB apart).
HWY_INLINE void addScaled(Tag tag, Vec factor, const double* coefficients, int count, double* rows,
                          int p) {
  for (int q = 0; q < count; ++q) {
    double* row = rows + q * kB + p;
    hn::StoreU(hn::MulAdd(factor, hn::Set(tag, coefficients[q]), hn::LoadU(tag, row)), tag, row);
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
#if defined(__clang__) && __clang_major__ < 15
  const bool f16c = true;  // clang 14 (the fuzz build) cannot ask; AVX2 processors have it
#else
  const bool f16c = __builtin_cpu_supports("f16c");
#endif
  const bool avx2 = sse4 && __builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma") &&
                    __builtin_cpu_supports("bmi") && __builtin_cpu_supports("bmi2") && f16c;
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
#define TORVAK_PICK(fn)                                                     \
  pick(TORVAK_AVX3(fn), TORVAK_AVX2(fn), TORVAK_SSE4(fn), TORVAK_SSSE3(fn), \
       &torvak::HWY_STATIC_DISPATCH(fn))

template <class F>
F pick(F avx3, F avx2, F sse4, F ssse3, F portable) {
  static const Level level = detectLevel();
  const F byLevel[] = {portable, ssse3, sse4, avx2, avx3};
  for (int l = static_cast<int>(level); l > 0; --l) {
    if (byLevel[l] != nullptr) return byLevel[l];
  }
  return portable;
}

// Whether the picked exp gives std::exp's bits: over [-20, 20] in fine steps and at points
// whose low bits vary, about 20,000 values (a fraction of a millisecond, once per process).
bool vectorExpMatchesLibrary() {
  static const auto kernel = TORVAK_PICK(ExpBlockImpl);
  constexpr int kCount = 1024;
  double x[kCount], got[kCount];
  std::uint64_t state = 0x9e3779b97f4a7c15u;
  for (int round = 0; round < 20; ++round) {
    for (int i = 0; i < kCount; ++i) {
      state = state * 6364136223846793005u + 1442695040888963407u;
      const double jitter = static_cast<double>(state >> 11) * 0x1p-53;
      x[i] = round == 0 ? -20.0 + 40.0 * i / (kCount - 1) : 40.0 * jitter - 20.0;
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
