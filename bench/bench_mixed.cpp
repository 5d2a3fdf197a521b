// The speed of a mixed-format pair: 60 items of which 20 are graded with 5 categories, against
// the pair of 60 dichotomous items, at d = 3 and G = 21, in Models 3 and 4. Both pairs come from
// the same sequence and are moved by the same transformation with the same noise. Times in ms:
// medians of repeated runs, the two pairs run in turn; whole pairs as torvak-link --results
// links them, and single evaluations (value, and order 2) at the search's start.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

#include "generated_pair.h"
#include "jobs/link_arrays.h"
#include "linking/item_surface_linker.h"
#include "linking/test_surface_linker.h"

namespace {

using Clock = std::chrono::steady_clock;

double since(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double median(std::vector<double> times) {
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}

constexpr int kItems = 60, kGraded = 20, kCategories = 5, kDimension = 3, kGrid = 21;

// theta_From = A theta_To + b with A = diag(1.1, 0.9, 1.0) + 0.1 above the diagonal, b = 0.2;
// the last kGraded items graded when mixed.
LinkInput pair(int model, bool mixed) {
  LinkInput input;
  LinkingSettings& s = input.settings;
  s.Model_Type = model;
  s.Theta_Dimension = kDimension;
  s.Number_Of_Grid = kGrid;
  s.Range_Begin = -4;
  s.Range_End = 4;
  const int d = kDimension;
  const double a[] = {1.1, 0.1, 0.0, 0.0, 0.9, 0.1, 0.0, 0.0, 1.0};
  Lcg lcg(0x51ce5ULL);
  for (int j = 0; j < kItems; ++j) {
    const bool graded = mixed && j >= kItems - kGraded;
    const int m = graded ? kCategories : 2;
    double shift = 0.0;
    for (int k = 0; k < d; ++k) {
      const double slope = lcg.uniform(0.4, 1.6);
      input.from.slopes.push_back(slope);
      shift += slope * 0.2;
    }
    for (int k = 0; k < d; ++k) {
      double to = lcg.uniform(-0.03, 0.03);
      for (int r = 0; r < d; ++r) to += a[r * d + k] * input.from.slopes[j * d + r];
      input.to.slopes.push_back(to);
    }
    std::vector<double> from, to;
    double next = lcg.uniform(0.5, 2.0);
    for (int k = 1; k < m; ++k) {
      from.push_back(next);
      to.push_back(next + shift + lcg.uniform(-0.05, 0.05));
      next -= lcg.uniform(0.7, 1.3);
    }
    const double guessing = graded ? 0.0 : lcg.uniform(0.0, 0.25);
    input.from.intercepts.push_back(from[0]);
    input.to.intercepts.push_back(to[0]);
    input.from.guessing.push_back(guessing);
    input.to.guessing.push_back(guessing);
    input.from.categories.add(graded ? ItemKind::Graded : ItemKind::Dichotomous, m, from.data() + 1);
    input.to.categories.add(graded ? ItemKind::Graded : ItemKind::Dichotomous, m, to.data() + 1);
  }
  return input;
}

double linkMs(const LinkInput& input, int threads) {
  EvaluationOptions evaluation;
  evaluation.threads = threads;
  const Clock::time_point start = Clock::now();
  const ArrayLinkResult result = linkArrays(input, evaluation, nullptr, "bench");
  const double ms = since(start);
  if (!result.error.empty()) {
    std::fprintf(stderr, "%s\n", result.error.c_str());
    std::exit(1);
  }
  return ms;
}

// An engine over input at its search's start, one thread.
std::unique_ptr<MultidimensionalLinker> startedEngine(const LinkInput& input, LinkingJob& job) {
  auto in = std::make_shared<LinkInput>(input);
  in->settings.fromFile.name = "From items";
  in->settings.toFile.name = "To items";
  in->settings.fromFile.columnFormat = in->settings.toFile.columnFormat = "AAADC";
  job.input = in;
  job.parameterFilePath = "bench";
  job.evaluation.threads = 1;
  std::unique_ptr<MultidimensionalLinker> e;
  if (input.settings.Model_Type == 3) {
    e = std::make_unique<TestSurfaceLinker>(&job);
  } else {
    e = std::make_unique<ItemSurfaceLinker>(&job);
  }
  e->setStartingPoint();
  e->prepareData();
  e->parameters = e->transformation;
  e->parameterCount = static_cast<int>(e->parameters.size());
  return e;
}

// Medians of fn on the dichotomous and the mixed input, run in turn for at least 2 s.
std::pair<double, double> inTurn(const std::function<double(bool)>& fn) {
  std::vector<double> plain, mixed;
  double total = 0.0;
  while ((total < 2000.0 || plain.size() < 5) && plain.size() < 200) {
    plain.push_back(fn(false));
    mixed.push_back(fn(true));
    total += plain.back() + mixed.back();
  }
  return {median(plain), median(mixed)};
}

void row(const char* what, std::pair<double, double> times) {
  std::printf("%-34s %10.2f %10.2f %8.2f\n", what, times.first, times.second,
              times.second / times.first);
}

}  // namespace

int main() {
  std::printf("Mixed pair: J %d (%d graded, %d categories), d %d, G %d; times in ms\n", kItems,
              kGraded, kCategories, kDimension, kGrid);
  std::printf("%-34s %10s %10s %8s\n", "", "60 dich.", "mixed", "ratio");
  for (int model : {3, 4}) {
    const LinkInput inputs[] = {pair(model, false), pair(model, true)};
    for (int threads : {1, 2}) {
      char what[64];
      std::snprintf(what, sizeof what, "Model %d whole pair, %d thread%s", model, threads,
                    threads > 1 ? "s" : "");
      row(what, inTurn([&](bool mixed) { return linkMs(inputs[mixed ? 1 : 0], threads); }));
    }
    LinkingJob jobs[2];
    std::unique_ptr<MultidimensionalLinker> engines[] = {startedEngine(inputs[0], jobs[0]),
                                                         startedEngine(inputs[1], jobs[1])};
    const int n = kDimension * (kDimension + 1);
    std::vector<double> out(1 + n + n * n);
    for (int order : {0, 2}) {
      char what[64];
      std::snprintf(what, sizeof what, "Model %d evaluation, order %d", model, order);
      row(what, inTurn([&](bool mixed) {
            const Clock::time_point start = Clock::now();
            for (int i = 0; i < 10; ++i) engines[mixed ? 1 : 0]->evaluate(order, out.data());
            return since(start) / 10;
          }));
    }
  }
  return 0;
}
