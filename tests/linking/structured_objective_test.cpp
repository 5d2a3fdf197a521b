// The structured evaluation of Models 3 and 4 against the described point-by-point one, and
// its independence of the thread count.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <random>

#include "jobs/linking_worker.h"
#include "linking/item_surface_linker.h"
#include "linking/test_surface_linker.h"
#include "support/linking_fixture.h"

namespace {

std::vector<std::vector<double>> randomItems(int d, int count, unsigned seed) {
  std::mt19937 rng(seed);
  std::uniform_real_distribution<double> slope(0.3, 1.8), intercept(-2.0, 2.0), guess(0.0, 0.3);
  std::vector<std::vector<double>> rows(count);
  for (auto& row : rows) {
    for (int k = 0; k < d; ++k) row.push_back(slope(rng));
    row.push_back(intercept(rng));
    row.push_back(guess(rng));
  }
  return rows;
}

struct Problem {
  int model, d, items, grid;  // grid 0: an empirical theta file of `points` points
  int points;
  bool weighted;
};

// A From/To pair with a theta source, written once; engines over it on demand.
struct Files {
  LinkingFixture f;
  explicit Files(const Problem& p) {
    f.writeItems("from.txt", randomItems(p.d, p.items, 100 + p.d));
    f.writeItems("to.txt", randomItems(p.d, p.items, 200 + p.d));
    std::vector<std::string> keys =
        gridKeys(p.model, p.d, p.grid, std::string(p.d, 'A') + "DC");
    keys.push_back(std::string("Weighing_Method= ") + (p.weighted ? "1" : "0"));
    std::string entry = "1= from.txt to.txt";
    if (p.grid == 0) {
      std::mt19937 rng(p.points);
      std::normal_distribution<double> normal(0.0, 1.3);
      std::vector<std::vector<double>> thetas(p.points, std::vector<double>(p.d));
      for (auto& row : thetas) {
        for (double& t : row) t = normal(rng);
      }
      f.writeItems("theta.txt", thetas);
      keys.push_back("Emp_Column_Format= " + std::string(p.d, 'T'));
      entry += " theta.txt";
    }
    f.writeParameters(keys, {entry});
  }
  std::unique_ptr<MultidimensionalLinker> engine(int model, EvaluationOptions options) {
    f.job.evaluation = options;
    std::unique_ptr<MultidimensionalLinker> e;
    if (model == 3) {
      e = std::make_unique<TestSurfaceLinker>(&f.job);
    } else {
      e = std::make_unique<ItemSurfaceLinker>(&f.job);
    }
    e->prepareData();
    return e;
  }
};

// out of evaluate(order 2) at parameters near the identity.
std::vector<double> evaluateAt(MultidimensionalLinker& e, int order, unsigned seed) {
  const int d = e.dimension();
  const int n = d * (d + 1);
  std::mt19937 rng(seed);
  std::uniform_real_distribution<double> near(-0.25, 0.25);
  e.parameters.assign(n, 0.0);
  for (double& x : e.parameters) x = near(rng);
  for (int k = 0; k < d; ++k) e.parameters[k * d + k] += 1.0;
  e.parameterCount = n;
  std::vector<double> out(1 + n + n * n, 0.0);
  e.evaluate(order, out.data());
  out.resize(order == 0 ? 1 : order == 1 ? 1 + n : out.size());
  return out;
}

// Largest difference of [first, last) relative to the largest reference magnitude there.
double relativeGap(const std::vector<double>& ref, const std::vector<double>& got,
                   std::size_t first, std::size_t last) {
  double scale = 0.0, gap = 0.0;
  for (std::size_t i = first; i < last; ++i) {
    scale = std::max(scale, std::fabs(ref[i]));
    gap = std::max(gap, std::fabs(ref[i] - got[i]));
  }
  return scale == 0.0 ? gap : gap / scale;
}

}  // namespace

TEST(StructuredObjective, AgreesWithTheDescribedEvaluation) {
  // Grids of a few thousand points at most; the empirical counts leave a partial last block.
  const int gridFor[] = {0, 41, 15, 7, 5, 4};
  std::vector<Problem> problems;
  for (int model : {3, 4}) {
    for (int d = 1; d <= 5; ++d) {
      for (bool weighted : {false, true}) {
        problems.push_back({model, d, 9, gridFor[d], 0, weighted});
        problems.push_back({model, d, 9, 0, 150 + 7 * d, weighted});
      }
    }
  }
  for (const Problem& p : problems) {
    Files files(p);
    auto reference = files.engine(p.model, {1, true});
    auto structured = files.engine(p.model, {2, false});
    ASSERT_EQ(reference->status, 0);
    ASSERT_EQ(structured->status, 0);
    const std::string label = "model " + std::to_string(p.model) + " d " + std::to_string(p.d) +
                              (p.grid ? " grid" : " empirical") + (p.weighted ? " weighted" : "");
    const std::size_t n = p.d * (p.d + 1);
    for (int order : {0, 1, 2}) {
      const auto want = evaluateAt(*reference, order, 17 * p.d + order);
      const auto got = evaluateAt(*structured, order, 17 * p.d + order);
      ASSERT_EQ(want.size(), got.size());
      EXPECT_GT(want[0], 0.0) << label;
      EXPECT_LE(relativeGap(want, got, 0, 1), 1e-12) << label << " value, order " << order;
      if (order >= 1) {
        EXPECT_LE(relativeGap(want, got, 1, 1 + n), 1e-12) << label << " gradient";
      }
      if (order == 2) {
        EXPECT_LE(relativeGap(want, got, 1 + n, want.size()), 1e-12) << label << " Hessian";
      }
    }
  }
}

TEST(StructuredObjective, AnyThreadCountGivesTheSameBits) {
  for (int model : {3, 4}) {
    Files files({model, 3, 11, 9, 0, true});
    std::vector<double> first;
    for (int threads : {1, 2, 7}) {
      auto engine = files.engine(model, {threads, false});
      ASSERT_EQ(engine->status, 0);
      const auto out = evaluateAt(*engine, 2, 5);
      if (first.empty()) first = out;
      EXPECT_EQ(std::memcmp(first.data(), out.data(), out.size() * sizeof(double)), 0)
          << "model " << model << ", " << threads << " threads";
    }
  }
}

TEST(StructuredObjective, ReportsAreTheSameForEveryThreadCountAndTheReference) {
  for (int model : {3, 4}) {
    Files files({model, 2, 12, 13, 0, true});
    // The To items are the From items moved a little, with noise: the search has work to do
    // and ends above zero (an exact fit would print rounding noise as its criterion).
    auto moved = randomItems(2, 12, 102);
    std::mt19937 rng(9);
    std::uniform_real_distribution<double> noise(-0.05, 0.05);
    for (auto& row : moved) {
      row[0] = 0.9 * row[0] + 0.1 * row[1] + noise(rng);
      row[2] += 0.2 * row[0] + noise(rng);
    }
    files.f.writeItems("to.txt", moved);
    std::string first;
    for (EvaluationOptions options : {EvaluationOptions{1, true}, EvaluationOptions{1, false},
                                      EvaluationOptions{2, false}, EvaluationOptions{7, false}}) {
      files.f.job.evaluation = options;
      std::remove(files.f.dir.file("report.txt").c_str());
      EXPECT_EQ(LinkingThreadProc(&files.f.job), 0);
      const std::vector<double>& area = files.f.job.resultArea;
      ASSERT_FALSE(area.empty());
      EXPECT_GT(area[0], 1e-6);
      const std::string report = readWholeFile(files.f.dir.file("report.txt"));
      if (first.empty()) first = report;
      EXPECT_EQ(report, first) << "model " << model << ", " << options.threads << " threads"
                               << (options.reference ? ", reference" : "");
    }
  }
}

TEST(StructuredObjective, LargeGridIsBuiltFromThePointIndex) {
  // 725^2 points of 2 coordinates are more than the engine keeps.
  Files files({3, 2, 2, 725, 0, true});
  auto structured = files.engine(3, {2, false});
  ASSERT_EQ(structured->status, 0);
  EXPECT_TRUE(structured->points.empty());
  auto reference = files.engine(3, {1, true});
  ASSERT_EQ(reference->status, 0);
  const auto want = evaluateAt(*reference, 2, 3);
  const auto got = evaluateAt(*structured, 2, 3);
  EXPECT_LE(relativeGap(want, got, 0, 1), 1e-12);
  EXPECT_LE(relativeGap(want, got, 1, want.size()), 1e-11);
}
