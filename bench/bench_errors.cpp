// The speed of the standard errors: the jackknife and B = 1000 bootstrap replications of the
// Model 4 pair at J 60, d 3, G 21, on 1 and 2 threads, against the pair's own link. Times in
// seconds, the fastest of a few runs; the errors must be the same on any number of threads.
#include <algorithm>
#include <chrono>
#include <cstdio>

#include "diagnostics/pair_data.h"
#include "diagnostics/standard_errors.h"
#include "generated_pair.h"
#include "linking/item_surface_linker.h"
#include "linking/pair_record.h"

namespace {

using Clock = std::chrono::steady_clock;

double seconds(Clock::time_point since) {
  return std::chrono::duration<double>(Clock::now() - since).count();
}

}  // namespace

int main() {
  const PairSize size{60, 3, 21};
  BenchJob bench(4, size);
  bench.job.collectPairOutcomes = true;
  ItemSurfaceLinker engine(&bench.job);
  const Clock::time_point linkStart = Clock::now();
  engine.run(1);
  const double linkSeconds = seconds(linkStart);
  if (bench.job.pairOutcomes.empty() || bench.job.pairOutcomes[0].A.empty()) {
    std::fprintf(stderr, "the pair did not link\n");
    return 1;
  }
  const PairOutcome& pair = bench.job.pairOutcomes[0];
  RunSettings settings = engine.settings();
  PairData data;
  if (!readPairData(settings, data)) return 1;

  std::printf("Standard errors, Model 4, J %d, d %d, G %d (the pair's link: %.3f s)\n",
              size.items, size.dimension, size.grid, linkSeconds);
  std::printf("%-16s %8s %10s %10s\n", "method", "threads", "seconds", "failed");
  for (const auto errors : {DiagnosticsOptions::Errors::Jackknife,
                            DiagnosticsOptions::Errors::Bootstrap}) {
    DiagnosticsOptions options;
    options.errors = errors;
    options.bootstrapReplications = 1000;
    std::vector<double> first;
    for (int threads : {1, 2}) {
      double best = 1e300;
      std::optional<StandardErrors> result;
      const int runs = errors == DiagnosticsOptions::Errors::Jackknife ? 5 : 1;
      for (int run = 0; run < runs; ++run) {
        const Clock::time_point start = Clock::now();
        result = computeStandardErrors(data, pair.A, pair.b, options, threads, {});
        best = std::min(best, seconds(start));
      }
      std::vector<double> values = result->M;
      values.insert(values.end(), result->t.begin(), result->t.end());
      if (first.empty()) first = values;
      std::printf("%-16s %8d %10.3f %10d%s\n",
                  errors == DiagnosticsOptions::Errors::Jackknife ? "jackknife" : "bootstrap:1000",
                  threads, best, result->failed, values == first ? "" : "  DIFFERENT ERRORS");
    }
  }
  return 0;
}
