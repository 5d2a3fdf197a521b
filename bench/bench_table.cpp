// The speed table of Models 3 and 4, printed in one run so that its ratios compare times taken
// on the same machine at the same moment:
//   1. one order-2 evaluation (value, gradient, Hessian) at the search's starting point, the
//      described point-by-point computation against the structured one, 1 thread;
//   2. one whole pair, engine.run(1) (least-squares start, reading the files, targets, search
//      with its restart), with 1 and 2 threads;
//   3. value and order-2 evaluations at d = 3 with twice the points and twice the items.
// Times are medians of repeated runs in milliseconds.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

#include "generated_pair.h"
#include "linking/item_surface_linker.h"
#include "linking/test_surface_linker.h"

namespace {

using Clock = std::chrono::steady_clock;

// Median time of fn in ms, repeated until minSeconds have passed (at least minRuns runs).
double medianMs(const std::function<double()>& fn, double minSeconds, int minRuns) {
  std::vector<double> times;
  double total = 0.0;
  while ((total < minSeconds * 1e3 || static_cast<int>(times.size()) < minRuns) &&
         times.size() < 200) {
    const double ms = fn();
    times.push_back(ms);
    total += ms;
  }
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}

double since(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

template <class Engine>
class Counted : public Engine {
 public:
  using Engine::Engine;
  void evaluate(int order, double* out) override {
    ++calls[order == 2 ? 1 : 0];
    Engine::evaluate(order, out);
  }
  long calls[2] = {0, 0};
};

std::unique_ptr<MultidimensionalLinker> makeEngine(int model, LinkingJob* job) {
  if (model == 3) return std::make_unique<TestSurfaceLinker>(job);
  return std::make_unique<ItemSurfaceLinker>(job);
}

// An engine prepared for its pair and set at the search's starting point.
std::unique_ptr<MultidimensionalLinker> startedEngine(int model, LinkingJob* job) {
  auto engine = makeEngine(model, job);
  engine->setStartingPoint();
  engine->prepareData();
  engine->parameters = engine->transformation;
  engine->parameterCount = static_cast<int>(engine->parameters.size());
  return engine;
}

double evaluationMs(int model, const PairSize& size, EvaluationOptions options, int order,
                    double minSeconds) {
  BenchJob bench(model, size, options);
  auto engine = startedEngine(model, &bench.job);
  if (engine->status != 0) return -1.0;
  const int n = engine->parameterCount;
  std::vector<double> out(1 + n + n * n);
  return medianMs(
      [&] {
        const auto start = Clock::now();
        engine->evaluate(order, out.data());
        return since(start);
      },
      minSeconds, 2);
}

struct PairRun {
  double ms = 0.0;
  double criterion = 0.0;
  long valueEvaluations = 0, hessianEvaluations = 0;
};

template <class Engine>
PairRun pairRun(int model, const PairSize& size, int threads) {
  BenchJob bench(model, size, {threads, false});
  PairRun result;
  result.ms = medianMs(
      [&] {
        Counted<Engine> engine(&bench.job);  // settings, line counts and threads: not timed
        const auto start = Clock::now();
        result.criterion = engine.run(1);
        const double ms = since(start);
        result.valueEvaluations = engine.calls[0];
        result.hessianEvaluations = engine.calls[1];
        if (engine.status != 0) std::printf("  (run status %d)\n", engine.status);
        return ms;
      },
      0.5, 5);
  return result;
}

std::int64_t pointsOf(const PairSize& s) {
  if (s.grid == 0) return s.thetas;
  std::int64_t n = 1;
  for (int k = 0; k < s.dimension; ++k) n *= s.grid;
  return n;
}

void printEvaluationRatios() {
  std::printf("Order-2 evaluation at the starting point, 1 thread (ms)\n");
  std::printf("%-6s %4s %3s %4s %8s %12s %12s %8s\n", "model", "J", "d", "G", "points",
              "described", "structured", "ratio");
  const PairSize sizes[] = {{60, 3, 21}, {40, 5, 5}, {40, 5, 7}};
  for (int model : {3, 4}) {
    for (const PairSize& s : sizes) {
      const double described = evaluationMs(model, s, {1, true}, 2, 1.0);
      const double structured = evaluationMs(model, s, {1, false}, 2, 0.3);
      std::printf("%-6d %4d %3d %4d %8lld %12.3f %12.3f %7.0fx\n", model, s.items, s.dimension,
                  s.grid, static_cast<long long>(pointsOf(s)), described, structured,
                  described / structured);
    }
  }
}

void printPairs() {
  std::printf("\nWhole pair, run(1): start, files, targets, search (ms)\n");
  std::printf("%-6s %4s %3s %6s %8s %10s %10s %8s %11s %14s\n", "model", "J", "d", "G", "points",
              "1 thread", "2 threads", "speedup", "evals 0/2", "criterion");
  const PairSize sizes[] = {{60, 3, 21}, {60, 2, 41}, {40, 5, 9}, {60, 4, 0, 100000}};
  for (int model : {3, 4}) {
    for (const PairSize& s : sizes) {
      const PairRun one = model == 3 ? pairRun<TestSurfaceLinker>(model, s, 1)
                                     : pairRun<ItemSurfaceLinker>(model, s, 1);
      const PairRun two = model == 3 ? pairRun<TestSurfaceLinker>(model, s, 2)
                                     : pairRun<ItemSurfaceLinker>(model, s, 2);
      char grid[16];
      std::snprintf(grid, sizeof grid, s.grid == 0 ? "file" : "%d", s.grid);
      std::printf("%-6d %4d %3d %6s %8lld %10.2f %10.2f %7.2fx %5ld/%-5ld %14.6e\n", model,
                  s.items, s.dimension, grid, static_cast<long long>(pointsOf(s)), one.ms, two.ms,
                  one.ms / two.ms, two.valueEvaluations, two.hessianEvaluations, two.criterion);
    }
  }
}

void printLinearity() {
  std::printf("\nCost against size, d = 3, empirical points, 2 threads (ms per evaluation)\n");
  std::printf("%-6s %4s %8s %10s %10s\n", "model", "J", "points", "value", "order 2");
  const PairSize sizes[] = {{60, 3, 0, 20000}, {60, 3, 0, 40000}, {120, 3, 0, 20000}};
  for (int model : {3, 4}) {
    for (const PairSize& s : sizes) {
      std::printf("%-6d %4d %8d %10.3f %10.3f\n", model, s.items, s.thetas,
                  evaluationMs(model, s, {2, false}, 0, 0.3),
                  evaluationMs(model, s, {2, false}, 2, 0.3));
    }
  }
}

// What two threads gain on this machine right now for work that needs no memory and no
// synchronisation: the ceiling of every speed-up below (shared machines give less than 2).
double parallelCeiling() {
  auto timed = [](int threads) {
    ThreadPool pool(threads);
    std::vector<double> sinks(64);
    return medianMs(
        [&] {
          const auto start = Clock::now();
          pool.run(64, [&](int task, int) {
            double s = 0.0;
            for (int i = 1; i < 200000; ++i) s += 1.0 / (i + task);
            sinks[task] = s;
          });
          return since(start);
        },
        0.3, 3);
  };
  return timed(1) / timed(2);
}

}  // namespace

int main() {
  std::printf("torvak speed table (%d cores available; 2 threads on pure arithmetic: %.2fx)\n\n",
              ThreadPool::coreCount(), parallelCeiling());
  printEvaluationRatios();
  printPairs();
  printLinearity();
  return 0;
}
