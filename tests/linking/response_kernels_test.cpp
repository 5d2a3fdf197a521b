// The vector kernels, in every instruction-set variant this processor runs, against the
// scalar response.
#include "linking/response_kernels.h"

#include <gtest/gtest.h>
#include <hwy/targets.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <random>
#include <vector>

#include "linking/exp_table.h"
#include "linking/logistic_response.h"
#include "numerics/point_blocks.h"

namespace torvak {
#define TORVAK_DECLARE(target)                                                                     \
  namespace target {                                                                               \
  void ResponseBlockImpl(const ItemBlock& in, bool vectorExp, double* probabilities);              \
  void ItemSurfaceBlockImpl(int order, const ItemBlock& in, bool vectorExp, const double* targets, \
                            double* squares, double* e, double* c);                                \
  void ExpBlockImpl(const double* x, double* out, int count);                                      \
  }
TORVAK_DECLARE(N_SCALAR)
TORVAK_DECLARE(N_EMU128)
TORVAK_DECLARE(N_SSSE3)
TORVAK_DECLARE(N_SSE4)
TORVAK_DECLARE(N_AVX2)
TORVAK_DECLARE(N_AVX3)
}  // namespace torvak

namespace {

constexpr int kB = PointBlocks::kBlock;

struct Variant {
  const char* name;
  bool fused;  // MulAdd is one rounding
  void (*response)(const ItemBlock&, bool, double*);
  void (*itemSurface)(int, const ItemBlock&, bool, const double*, double*, double*, double*);
  void (*exp)(const double*, double*, int);
};

#define TORVAK_VARIANT(name, fused, target)                                               \
  Variant {                                                                               \
    name, fused, torvak::target::ResponseBlockImpl, torvak::target::ItemSurfaceBlockImpl, \
        torvak::target::ExpBlockImpl                                                      \
  }

std::vector<Variant> variantsThisProcessorRuns() {
  std::vector<Variant> v;
  __builtin_cpu_init();
#if HWY_TARGETS & HWY_SCALAR
  v.push_back(TORVAK_VARIANT("scalar", false, N_SCALAR));
#endif
#if HWY_TARGETS & HWY_EMU128
  v.push_back(TORVAK_VARIANT("emu128", false, N_EMU128));
#endif
#if HWY_TARGETS & HWY_SSE4
  if (__builtin_cpu_supports("sse4.2") && __builtin_cpu_supports("pclmul")) {
    v.push_back(TORVAK_VARIANT("sse4", false, N_SSE4));
  }
#endif
#if HWY_TARGETS & HWY_AVX2
  if (__builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma") &&
      __builtin_cpu_supports("bmi2")) {
    v.push_back(TORVAK_VARIANT("avx2", true, N_AVX2));
  }
#endif
#if HWY_TARGETS & HWY_AVX3
  if (__builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512vl") &&
      __builtin_cpu_supports("avx512dq") && __builtin_cpu_supports("avx512bw")) {
    v.push_back(TORVAK_VARIANT("avx512", true, N_AVX3));
  }
#endif
  return v;
}

bool sameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// The C library's exp algorithm, one value at a time, with or without fused steps: what each
// vector variant must reproduce.
double modelExp(double x, bool fused) {
  auto madd = [fused](double a, double b, double c) {
    return fused ? std::fma(a, b, c) : a * b + c;
  };
  const double shifted = madd(x, 0x1.71547652b82fep+7, 0x1.8p52);
  std::uint64_t k;
  std::memcpy(&k, &shifted, sizeof k);
  const double kd = shifted - 0x1.8p52;
  const double r = madd(kd, -0x1.cf79abc9e3b3ap-47, madd(kd, -0x1.62e42fefa0000p-8, x));
  std::uint64_t tailBits = kExpTable[0][k % 128], scaleBits = kExpTable[1][k % 128] + (k << 45);
  double tail, scale;
  std::memcpy(&tail, &tailBits, sizeof tail);
  std::memcpy(&scale, &scaleBits, sizeof scale);
  const double r2 = r * r;
  const double low = madd(r, 0x1.555555555543cp-3, 0x1.ffffffffffdbdp-2);
  const double high = madd(r, 0x1.1111167a4d017p-7, 0x1.55555cf172b91p-5);
  return madd(scale, madd(r2 * r2, high, madd(low, r2, tail + r)), scale);
}

}  // namespace

// A million values over [-20, 20]: every variant computes the algorithm it stands for to the
// bit, and the one the kernels use gives std::exp's bits.
TEST(ResponseKernels, VectorExpIsTheLibrarysToTheBit) {
  constexpr int kCount = 1 << 20;
  std::vector<double> x(kCount), got(kCount);
  std::mt19937_64 rng(11);
  std::uniform_real_distribution<double> uniform(-20.0, 20.0);
  for (double& v : x) v = uniform(rng);
  x[0] = 0.0;
  x[1] = -0.0;
  x[2] = 20.0;
  x[3] = -20.0;
  x[4] = 1e-300;
  for (const Variant& v : variantsThisProcessorRuns()) {
    v.exp(x.data(), got.data(), kCount);
    int wrong = 0;
    for (int i = 0; i < kCount; ++i) wrong += !sameBits(got[i], modelExp(x[i], v.fused));
    EXPECT_EQ(wrong, 0) << v.name;
  }
  expBlock(x.data(), got.data(), kCount);
  int differ = 0;
  for (int i = 0; i < kCount; ++i) differ += !sameBits(got[i], std::exp(x[i]));
  if (vectorExpIsExact()) {
    EXPECT_EQ(differ, 0) << "the check at first use lets the kernels use another exp";
  } else {
    // Another C library: the kernels call its exp lane by lane (the other tests check them).
    std::printf("note: this C library's exp differs from the vector exp in %d of %d values\n",
                differ, kCount);
  }
}

// One coordinate, slope 1.3: z runs over [-33.8, 33.8] and crosses the flat limits at +-20.
// With std::exp in every lane each variant gives the scalar response's bits; through the
// dispatching entry points too, whichever exp the check picked.
TEST(ResponseKernels, EveryVariantGivesTheScalarResponse) {
  const int d = 1;
  std::vector<double> theta(kB), intercepts = {0.0}, guessing = {0.17}, slopes = {1.3},
                                 products = {1.69}, targets(kB);
  std::mt19937 rng(4);
  std::uniform_real_distribution<double> target(0.0, 1.0);
  for (int p = 0; p < kB; ++p) {
    theta[p] = -26.0 + 52.0 * p / (kB - 1);
    targets[p] = target(rng);
  }
  theta[5] = 20.0 / 1.3;
  theta[6] = -20.0 / 1.3;
  const ItemBlock in{
      d, 1, intercepts.data(), guessing.data(), slopes.data(), products.data(), theta.data()};
  auto check = [&](const char* name, const std::vector<double>& p,
                   const std::vector<double>& squares, const std::vector<double>& e,
                   const std::vector<double>& c) {
    for (int i = 0; i < kB; ++i) {
      const Response r = logisticResponse(0.0 + slopes[0] * theta[i], guessing[0], 2);
      const double residual = targets[i] - r.p;
      const double wantE = residual * r.first * slopes[0];
      const double wantC = (r.first * r.first - residual * r.second) * products[0];
      EXPECT_TRUE(sameBits(p[i], r.p)) << name << " theta " << theta[i];
      EXPECT_NEAR(squares[i], residual * residual, 1e-13 * residual * residual + 1e-300)
          << name << " theta " << theta[i];
      EXPECT_NEAR(e[i], wantE, 1e-13 * std::fabs(wantE) + 1e-300) << name << " theta " << theta[i];
      EXPECT_NEAR(c[i], wantC, 1e-13 * std::fabs(wantC) + 1e-300) << name << " theta " << theta[i];
    }
  };
  const auto variants = variantsThisProcessorRuns();
  EXPECT_GE(variants.size(), 1u);
  for (const Variant& v : variants) {
    std::vector<double> p(kB), squares(kB, 0.0), e(kB, 0.0), c(kB, 0.0);
    v.response(in, false, p.data());
    v.itemSurface(2, in, false, targets.data(), squares.data(), e.data(), c.data());
    check(v.name, p, squares, e, c);
  }
  std::vector<double> p(kB), squares(kB, 0.0), e(kB, 0.0), c(kB, 0.0);
  responseBlock(in, p.data());
  itemSurfaceBlock(2, in, targets.data(), squares.data(), e.data(), c.data());
  check("dispatched", p, squares, e, c);
}
