// Time of one evaluation of the Model 3 and Model 4 criterion with its gradient and Hessian
// (evaluate order 2) over the full grid, at the least-squares starting transformation that a
// run searches from.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "generated_pair.h"
#include "linking/item_surface_linker.h"
#include "linking/test_surface_linker.h"

template <class Engine, int kModel>
void BM_Evaluate(benchmark::State& state) {
  BenchJob bench(kModel, pairSize(state));
  Engine engine(&bench.job);
  engine.prepareData();
  if (engine.status != 0) {
    state.SkipWithError(("prepareData status " + std::to_string(engine.status)).c_str());
    return;
  }
  engine.setStartingPoint();
  engine.parameters = engine.transformation;
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
