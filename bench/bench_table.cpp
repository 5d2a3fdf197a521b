// The speed table of Models 3 and 4, printed in one run so that its ratios compare times taken
// on the same machine at the same moment:
//   1. one order-2 evaluation (value, gradient, Hessian) at the search's starting point, the
//      described point-by-point computation against the structured one, 1 thread;
//   2. one whole pair, engine.run(1) (least-squares start, reading the files, targets, search
//      with its restart), with 1 and 2 threads;
//   3. value and order-2 evaluations at d = 3 with twice the points and twice the items.
// Times are in milliseconds: medians of repeated runs, and for whole pairs also the fastest run.
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

double median(std::vector<double> times) {
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}

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
  return median(times);
}

// Times of a and b in ms, run in turn, so that a change of the machine's load in the meantime
// touches both alike; repeated until minSeconds have passed (at least minRuns runs).
std::pair<std::vector<double>, std::vector<double>> timesInTurn(const std::function<double()>& a,
                                                                const std::function<double()>& b,
                                                                double minSeconds, int minRuns) {
  std::vector<double> timesA, timesB;
  double total = 0.0;
  while ((total < minSeconds * 1e3 || static_cast<int>(timesA.size()) < minRuns) &&
         timesA.size() < 200) {
    timesA.push_back(a());
    timesB.push_back(b());
    total += timesA.back() + timesB.back();
  }
  return {timesA, timesB};
}

std::pair<double, double> medianPairMs(const std::function<double()>& a,
                                       const std::function<double()>& b, double minSeconds,
                                       int minRuns) {
  const auto [timesA, timesB] = timesInTurn(a, b, minSeconds, minRuns);
  return {median(timesA), median(timesB)};
}

double since(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

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

// Times one evaluation of the given order.
std::function<double()> evaluationTimer(std::unique_ptr<MultidimensionalLinker>& engine,
                                        std::vector<double>& out, int order) {
  const int n = engine->parameterCount;
  out.assign(1 + n + n * n, 0.0);
  return [&engine, &out, order] {
    const auto start = Clock::now();
    engine->evaluate(order, out.data());
    return since(start);
  };
}

double evaluationMs(int model, const PairSize& size, EvaluationOptions options, int order,
                    double minSeconds) {
  BenchJob bench(model, size, options);
  auto engine = startedEngine(model, &bench.job);
  if (engine->status != 0) return -1.0;
  std::vector<double> out;
  return medianMs(evaluationTimer(engine, out, order), minSeconds, 2);
}

struct PairRun {
  double ms = 0.0;  // fastest run
  double medianMs = 0.0;
  double criterion = 0.0;
  long valueEvaluations = 0, hessianEvaluations = 0;
};

// One pair on 1 thread and on 2 threads, in turn.
template <class Engine>
std::pair<PairRun, PairRun> pairRuns(int model, const PairSize& size) {
  BenchJob oneThread(model, size, {1, false}), twoThreads(model, size, {2, false});
  PairRun results[2];
  auto timed = [&](BenchJob& bench, PairRun& result) {
    return [&] {
      Counted<Engine> engine(&bench.job);  // settings, line counts and threads: not timed
      const auto start = Clock::now();
      result.criterion = engine.run(1);
      const double ms = since(start);
      result.valueEvaluations = engine.calls[0];
      result.hessianEvaluations = engine.calls[1];
      if (engine.status != 0) std::printf("  (run status %d)\n", engine.status);
      return ms;
    };
  };
  // The fastest of many runs: on a shared machine other work only ever adds time, and it comes
  // and goes within seconds. The median shows how much it added.
  const auto [one, two] =
      timesInTurn(timed(oneThread, results[0]), timed(twoThreads, results[1]), 2.0, 10);
  results[0].ms = *std::min_element(one.begin(), one.end());
  results[1].ms = *std::min_element(two.begin(), two.end());
  results[0].medianMs = median(one);
  results[1].medianMs = median(two);
  return {results[0], results[1]};
}

std::int64_t pointsOf(const PairSize& s) {
  if (s.grid == 0) return s.thetas;
  std::int64_t n = 1;
  for (int k = 0; k < s.dimension; ++k) n *= s.grid;
  return n;
}

void printEvaluationRatios() {
  std::printf("Order-2 evaluation at the starting point, 1 thread (ms)\n");
  std::printf("%-6s %4s %3s %4s %8s %12s %12s %8s\n", "model", "J", "d", "G", "points", "described",
              "structured", "ratio");
  const PairSize sizes[] = {{60, 3, 21}, {40, 5, 5}, {40, 5, 7}};
  for (int model : {3, 4}) {
    for (const PairSize& s : sizes) {
      BenchJob describedJob(model, s, {1, true}), structuredJob(model, s, {1, false});
      auto describedEngine = startedEngine(model, &describedJob.job);
      auto structuredEngine = startedEngine(model, &structuredJob.job);
      std::vector<double> describedOut, structuredOut;
      const auto [described, structured] =
          medianPairMs(evaluationTimer(describedEngine, describedOut, 2),
                       evaluationTimer(structuredEngine, structuredOut, 2), 1.0, 3);
      std::printf("%-6d %4d %3d %4d %8lld %12.3f %12.3f %7.0fx\n", model, s.items, s.dimension,
                  s.grid, static_cast<long long>(pointsOf(s)), described, structured,
                  described / structured);
    }
  }
}

void printPairs() {
  std::printf(
      "\nWhole pair, run(1): start, files, targets, search (ms; fastest of at least 10 runs each,\n"
      "taken in turn, then the medians)\n");
  std::printf("%-6s %4s %3s %6s %8s %9s %9s %8s %9s %9s %10s %14s\n", "model", "J", "d", "G",
              "points", "1 thread", "2 threads", "speedup", "median 1", "median 2", "evals 0/2",
              "criterion");
  const PairSize sizes[] = {{60, 3, 21}, {60, 2, 41}, {40, 5, 9}, {60, 4, 0, 100000}};
  for (int model : {3, 4}) {
    for (const PairSize& s : sizes) {
      const auto [one, two] = model == 3 ? pairRuns<TestSurfaceLinker>(model, s)
                                         : pairRuns<ItemSurfaceLinker>(model, s);
      char grid[16];
      std::snprintf(grid, sizeof grid, s.grid == 0 ? "file" : "%d", s.grid);
      std::printf("%-6d %4d %3d %6s %8lld %9.2f %9.2f %7.2fx %9.2f %9.2f %5ld/%-4ld %14.6e\n",
                  model, s.items, s.dimension, grid, static_cast<long long>(pointsOf(s)), one.ms,
                  two.ms, one.ms / two.ms, one.medianMs, two.medianMs, two.valueEvaluations,
                  two.hessianEvaluations, two.criterion);
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
  ThreadPool one(1), two(2);
  std::vector<double> sinks(64);
  auto timed = [&](ThreadPool& pool) {
    return [&] {
      const auto start = Clock::now();
      pool.run(64, [&](int task, int) {
        double s = 0.0;
        for (int i = 1; i < 200000; ++i) s += 1.0 / (i + task);
        sinks[task] = s;
      });
      return since(start);
    };
  };
  const auto [a, b] = medianPairMs(timed(one), timed(two), 0.5, 3);
  return a / b;
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
