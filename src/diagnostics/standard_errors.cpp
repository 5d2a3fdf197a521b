#include "diagnostics/standard_errors.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <memory>
#include <new>
#include <random>

#include "diagnostics/replication_fit.h"
#include "numerics/matrix.h"
#include "numerics/thread_pool.h"

namespace {

// One replication's M (d x d) then t (d), or empty when it failed.
using Estimate = std::vector<double>;

Estimate estimateFrom(const std::vector<double>& fitted, int d) {
  Estimate mt(static_cast<std::size_t>(d) * (d + 1));
  if (invertMatrix(d, fitted.data(), mt.data()) != 0) return {};
  matMul(d, d, 1, mt.data(), fitted.data() + d * d, mt.data() + d * d);
  for (int k = 0; k < d; ++k) mt[d * d + k] = -mt[d * d + k];
  return mt;
}

std::vector<int> leaveOneOut(int items, int left) {
  std::vector<int> chosen;
  chosen.reserve(items - 1);
  for (int j = 0; j < items; ++j) {
    if (j != left) chosen.push_back(j);
  }
  return chosen;
}

// The p-quantile of sorted values, interpolated between order statistics (R's type 7).
double quantile(const std::vector<double>& sorted, double p) {
  const double h = (static_cast<double>(sorted.size()) - 1.0) * p;
  const auto low = static_cast<std::size_t>(std::floor(h));
  const std::size_t high = std::min(low + 1, sorted.size() - 1);
  return sorted[low] + (h - static_cast<double>(low)) * (sorted[high] - sorted[low]);
}

void summarise(const std::vector<Estimate>& kept, int d, StandardErrors& errors) {
  const std::size_t n = kept.size();
  const std::size_t values = static_cast<std::size_t>(d) * (d + 1);
  const bool bootstrap = errors.method == StandardErrors::Method::Bootstrap;
  std::vector<double> se(values), lower(values), upper(values), column(n);
  for (std::size_t v = 0; v < values; ++v) {
    double mean = 0.0;
    for (std::size_t i = 0; i < n; ++i) mean += kept[i][v];
    mean /= static_cast<double>(n);
    double squares = 0.0;
    for (std::size_t i = 0; i < n; ++i) squares += (kept[i][v] - mean) * (kept[i][v] - mean);
    const double count = static_cast<double>(n);
    se[v] = std::sqrt(bootstrap ? squares / (count - 1.0) : squares * (count - 1.0) / count);
    if (bootstrap) {
      for (std::size_t i = 0; i < n; ++i) column[i] = kept[i][v];
      std::sort(column.begin(), column.end());
      lower[v] = quantile(column, 0.025);
      upper[v] = quantile(column, 0.975);
    }
  }
  const auto split = [d](const std::vector<double>& all, std::vector<double>& m,
                         std::vector<double>& t) {
    m.assign(all.begin(), all.begin() + d * d);
    t.assign(all.begin() + d * d, all.end());
  };
  split(se, errors.M, errors.t);
  if (bootstrap) {
    split(lower, errors.lowerM, errors.lowerT);
    split(upper, errors.upperM, errors.upperT);
  }
}

}  // namespace

std::vector<int> bootstrapDraw(unsigned long long seed, int replication, int items) {
  std::seed_seq sequence{static_cast<std::uint32_t>(seed), static_cast<std::uint32_t>(seed >> 32),
                         static_cast<std::uint32_t>(replication)};
  std::mt19937_64 random(sequence);
  std::vector<int> chosen(items);
  for (int& item : chosen) item = static_cast<int>(random() % static_cast<std::uint64_t>(items));
  return chosen;
}

std::optional<StandardErrors> computeStandardErrors(const PairData& data,
                                                    const std::vector<double>& a,
                                                    const std::vector<double>& b,
                                                    const DiagnosticsOptions& options,
                                                    int threads,
                                                    const std::function<bool()>& stop) {
  const int d = data.d;
  const int items = static_cast<int>(data.items);
  StandardErrors errors;
  const bool bootstrap = options.errors == DiagnosticsOptions::Errors::Bootstrap;
  errors.method = bootstrap ? StandardErrors::Method::Bootstrap : StandardErrors::Method::Jackknife;
  errors.replications = bootstrap ? options.bootstrapReplications : items;
  errors.seed = bootstrap ? options.seed : 0;

  std::vector<double> start(a);
  start.insert(start.end(), b.begin(), b.end());
  std::vector<Estimate> estimates(static_cast<std::size_t>(errors.replications));
  ThreadPool pool(threads);
  std::vector<std::unique_ptr<ReplicationFit>> fits(pool.threadCount());
  const ThreadPool::Task task = [&](int i, int thread) {
    try {
      if (!fits[thread]) fits[thread] = std::make_unique<ReplicationFit>(data);
      const std::vector<int> chosen =
          bootstrap ? bootstrapDraw(options.seed, i, items) : leaveOneOut(items, i);
      std::vector<double> fitted;
      if (fits[thread]->fit(chosen, start, fitted)) estimates[i] = estimateFrom(fitted, d);
    } catch (const std::bad_alloc&) {
      // Counted as a failed replication.
    }
  };
  // Rounds of a few replications per thread, so that a stop request is seen soon.
  const int round = 4 * pool.threadCount();
  for (int first = 0; first < errors.replications; first += round) {
    if (stop && stop()) return std::nullopt;
    const int count = std::min(round, errors.replications - first);
    pool.run(count, [&](int i, int thread) { task(first + i, thread); });
  }
  std::vector<Estimate> kept;
  for (Estimate& estimate : estimates) {
    if (estimate.empty()) {
      ++errors.failed;
    } else {
      kept.push_back(std::move(estimate));
    }
  }
  if (kept.size() >= 2) summarise(kept, d, errors);
  return errors;
}
