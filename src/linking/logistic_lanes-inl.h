// The logistic response in vector registers, included once per processor target by the
// kernels' files (Highway's per-target include pattern): the C library's exp and the
// three-parameter logistic response with its first two derivatives, for a block of points.
#if defined(TORVAK_LOGISTIC_LANES_INL_H_) == defined(HWY_TARGET_TOGGLE)
#ifdef TORVAK_LOGISTIC_LANES_INL_H_
#undef TORVAK_LOGISTIC_LANES_INL_H_
#else
#define TORVAK_LOGISTIC_LANES_INL_H_
#endif

#include <hwy/highway.h>

#include <cmath>
#include <cstddef>
#include <cstdint>

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

// P, P' and P'' of an item (slopes a, intercept, guessing) at the points of lanes
// [p, p + lanes) of a block of theta* (d x kBlock); first and second only for
// the orders that need them. z and P are computed as logisticResponse() computes them, with
// no fused operation (the core is compiled without contraction). Outside [-20, 20] the
// response is flat; a NaN z stays NaN.
template <int kOrder>
HWY_INLINE Responses respondAt(Tag tag, int d, const double* a, const double* thetaStar,
                               double intercept, double guessing, bool vectorExp, int p) {
  Vec z = hn::Set(tag, intercept);
  for (int k = 0; k < d; ++k) {
    z = hn::Add(z, hn::Mul(hn::Set(tag, a[k]), hn::LoadU(tag, thetaStar + k * kB + p)));
  }
  const Vec limit = hn::Set(tag, 20.0);
  const Vec one = hn::Set(tag, 1.0);
  const Vec c = hn::Set(tag, guessing);
  const Vec oneMinusC = hn::Set(tag, 1.0 - guessing);
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

template <int kOrder>
HWY_INLINE Responses respond(Tag tag, const ItemBlock& in, bool vectorExp, std::int64_t j, int p) {
  return respondAt<kOrder>(tag, in.d, in.slopes + j * in.d, in.thetaStar, in.intercepts[j],
                           in.guessing[j], vectorExp, p);
}

// rows[q] += factor coefficients[q] for q < count, at the lanes from p (rows kB apart).
HWY_INLINE void addScaled(Tag tag, Vec factor, const double* coefficients, int count, double* rows,
                          int p) {
  for (int q = 0; q < count; ++q) {
    double* row = rows + q * kB + p;
    hn::StoreU(hn::MulAdd(factor, hn::Set(tag, coefficients[q]), hn::LoadU(tag, row)), tag, row);
  }
}

}  // namespace HWY_NAMESPACE
}  // namespace torvak
HWY_AFTER_NAMESPACE();

#endif  // TORVAK_LOGISTIC_LANES_INL_H_
