// Time of linking one whole pair with Model 3 and Model 4: the engine's run(1), that is the
// least-squares start, reading both item files, building the grid and targets, and the search
// with its possible restart. Building the engine (loading the parameter file and counting the
// item files' lines) happens outside the timed region, once per iteration.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "generated_pair.h"
#include "linking/item_surface_linker.h"
#include "linking/test_surface_linker.h"

template <class Engine, int kModel>
void BM_Pair(benchmark::State& state) {
  BenchJob bench(kModel, pairSize(state));
  std::unique_ptr<Counted<Engine>> engine;
  double criterion = 0.0;
  for (auto _ : state) {
    state.PauseTiming();
    engine.reset();
    engine = std::make_unique<Counted<Engine>>(&bench.job);
    state.ResumeTiming();
    criterion = engine->run(1);
    benchmark::DoNotOptimize(criterion);
  }
  if (engine == nullptr) return;
  if (engine->status != 0) {
    state.SkipWithError(("run status " + std::to_string(engine->status)).c_str());
    return;
  }
  state.counters["criterion"] = criterion;
  state.counters["searchStatus"] = engine->searchStatus;
  state.counters["valueEvals"] = static_cast<double>(engine->calls[0]);
  state.counters["hessianEvals"] = static_cast<double>(engine->calls[1]);
}

BENCHMARK_TEMPLATE(BM_Pair, TestSurfaceLinker, 3)
    ->Apply(addPairSizes)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(BM_Pair, ItemSurfaceLinker, 4)
    ->Apply(addPairSizes)
    ->Unit(benchmark::kMillisecond);
