// The vector kernels, in every instruction-set variant this processor runs, against the
// scalar response.
#include "linking/response_kernels.h"

#include <gtest/gtest.h>
#include <hwy/targets.h>

#include <cmath>
#include <random>
#include <vector>

#include "linking/logistic_response.h"
#include "numerics/point_blocks.h"

namespace torvak {
#define TORVAK_DECLARE(target)                                                              \
  namespace target {                                                                        \
  void ResponseBlockImpl(const ItemBlock& in, double* probabilities);                       \
  void ItemSurfaceBlockImpl(int order, const ItemBlock& in, const double* targets,          \
                            double* squares, double* e, double* c);                         \
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
  void (*response)(const ItemBlock&, double*);
  void (*itemSurface)(int, const ItemBlock&, const double*, double*, double*, double*);
};

std::vector<Variant> variantsThisProcessorRuns() {
  std::vector<Variant> v = {{"dispatched", responseBlock, itemSurfaceBlock}};
  __builtin_cpu_init();
#if HWY_TARGETS & HWY_SCALAR
  v.push_back({"scalar", torvak::N_SCALAR::ResponseBlockImpl, torvak::N_SCALAR::ItemSurfaceBlockImpl});
#endif
#if HWY_TARGETS & HWY_EMU128
  v.push_back({"emu128", torvak::N_EMU128::ResponseBlockImpl, torvak::N_EMU128::ItemSurfaceBlockImpl});
#endif
#if HWY_TARGETS & HWY_SSE4
  if (__builtin_cpu_supports("sse4.2") && __builtin_cpu_supports("pclmul")) {
    v.push_back({"sse4", torvak::N_SSE4::ResponseBlockImpl, torvak::N_SSE4::ItemSurfaceBlockImpl});
  }
#endif
#if HWY_TARGETS & HWY_AVX2
  if (__builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma") &&
      __builtin_cpu_supports("bmi2")) {
    v.push_back({"avx2", torvak::N_AVX2::ResponseBlockImpl, torvak::N_AVX2::ItemSurfaceBlockImpl});
  }
#endif
#if HWY_TARGETS & HWY_AVX3
  if (__builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512vl") &&
      __builtin_cpu_supports("avx512dq") && __builtin_cpu_supports("avx512bw")) {
    v.push_back({"avx512", torvak::N_AVX3::ResponseBlockImpl, torvak::N_AVX3::ItemSurfaceBlockImpl});
  }
#endif
  return v;
}

}  // namespace

// One coordinate, slope 1: z runs over [-26, 26] and crosses the flat limits at +-20.
TEST(ResponseKernels, EveryVariantAgreesWithTheScalarResponse) {
  const int d = 1;
  std::vector<double> theta(kB), alpha = {1.0}, beta = {0.0}, guessing = {0.17}, slopes = {1.3},
                                  products = {1.69}, targets(kB);
  std::mt19937 rng(4);
  std::uniform_real_distribution<double> target(0.0, 1.0);
  for (int p = 0; p < kB; ++p) {
    theta[p] = -26.0 + 52.0 * p / (kB - 1);
    targets[p] = target(rng);
  }
  theta[5] = 20.0;
  theta[6] = -20.0;
  const ItemBlock in{d, 1, alpha.data(), beta.data(), guessing.data(), slopes.data(),
                     products.data(), theta.data()};
  const auto variants = variantsThisProcessorRuns();
  EXPECT_GE(variants.size(), 2u);
  for (const Variant& v : variants) {
    std::vector<double> p(kB), squares(kB, 0.0), e(kB, 0.0), c(kB, 0.0);
    v.response(in, p.data());
    v.itemSurface(2, in, targets.data(), squares.data(), e.data(), c.data());
    for (int i = 0; i < kB; ++i) {
      const Response r = logisticResponse(theta[i], guessing[0], 2);
      const double residual = targets[i] - r.p;
      const double wantE = residual * r.first * slopes[0];
      const double wantC = (r.first * r.first - residual * r.second) * products[0];
      EXPECT_NEAR(p[i], r.p, 1e-15 * std::fabs(r.p)) << v.name << " z " << theta[i];
      EXPECT_NEAR(squares[i], residual * residual, 1e-13 * residual * residual + 1e-300)
          << v.name << " z " << theta[i];
      EXPECT_NEAR(e[i], wantE, 1e-13 * std::fabs(wantE) + 1e-300) << v.name << " z " << theta[i];
      EXPECT_NEAR(c[i], wantC, 1e-13 * std::fabs(wantC) + 1e-300) << v.name << " z " << theta[i];
    }
  }
}
