// Time of one evaluation of the Model 3 and Model 4 criterion with its gradient and Hessian
// (evaluate order 2) over the full grid, at the least-squares starting transformation that a
// run searches from.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <string>
#include <vector>

#include "generated_pair.h"
#include "linking/item_surface_linker.h"
#include "linking/test_surface_linker.h"
#include "numerics/matrix.h"

namespace {

// The search's start as a run sets it: A = X and b = m of the least-squares solution, or the
// identity when that solution cannot be had.
std::vector<double> startingTransformation(MultidimensionalLinker& engine) {
  const int d = engine.dimension();
  std::vector<double> x(d * (d + 1), 0.0);
  engine.linker.status = 0;
  engine.linker.computeTransformation(x.data());
  if (engine.linker.status != 0) {
    std::fill(x.begin(), x.end(), 0.0);
    for (int k = 0; k < d; ++k) x[k * d + k] = 1.0;
    return x;
  }
  double* a = x.data();
  double* b = a + d * d;
  std::vector<double> inverse(d * d), u(d);
  const int parameterization = engine.settings().Parameterization;
  if ((parameterization == 1 || parameterization == 4) && invertMatrix(d, a, inverse.data()) == 0) {
    std::copy(inverse.begin(), inverse.end(), a);
  }
  matMul(d, d, 1, a, b, u.data());
  for (int k = 0; k < d; ++k) b[k] = -u[k];
  return x;
}

}  // namespace

template <class Engine, int kModel>
void BM_Evaluate(benchmark::State& state) {
  BenchJob bench(kModel, pairSize(state));
  Engine engine(&bench.job);
  engine.prepareData();
  if (engine.status != 0) {
    state.SkipWithError(("prepareData status " + std::to_string(engine.status)).c_str());
    return;
  }
  engine.parameters = startingTransformation(engine);
  engine.parameterCount = static_cast<int>(engine.parameters.size());
  const int n = engine.parameterCount;
  std::vector<double> out(1 + n + n * n);
  for (auto _ : state) {
    engine.evaluate(2, out.data());
    benchmark::DoNotOptimize(out.data());
    benchmark::ClobberMemory();
  }
  if (engine.searchStatus < 0) {
    state.SkipWithError(("evaluate status " + std::to_string(engine.searchStatus)).c_str());
    return;
  }
  state.counters["criterion"] = out[0];
  state.counters["points"] = static_cast<double>(engine.pointCount);
}

BENCHMARK_TEMPLATE(BM_Evaluate, TestSurfaceLinker, 3)
    ->Apply(addPairSizes)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(BM_Evaluate, ItemSurfaceLinker, 4)
    ->Apply(addPairSizes)
    ->Unit(benchmark::kMillisecond);
