#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <random>

#include "linking/item_surface_linker.h"
#include "linking/test_surface_linker.h"
#include "support/linking_fixture.h"

namespace {

// Items of dimension d: slopes, intercept, guessing, deterministic.
std::vector<std::vector<double>> makeItems(int d, int count, unsigned seed) {
  std::mt19937 rng(seed);
  std::uniform_real_distribution<double> slope(0.4, 1.6), intercept(-1.5, 1.5), guess(0.0, 0.25);
  std::vector<std::vector<double>> rows;
  for (int j = 0; j < count; ++j) {
    std::vector<double> row;
    for (int k = 0; k < d; ++k) row.push_back(slope(rng));
    row.push_back(intercept(rng));
    row.push_back(guess(rng));
    rows.push_back(row);
  }
  return rows;
}

std::unique_ptr<MultidimensionalLinker> makeEngine(int model, LinkingJob* job) {
  if (model == 3) return std::make_unique<TestSurfaceLinker>(job);
  return std::make_unique<ItemSurfaceLinker>(job);
}

std::string format(int d) { return std::string(d, 'A') + "DC"; }

// An engine ready to evaluate: its From items loaded, parameters at a random point.
struct PreparedEngine {
  LinkingFixture f;
  std::unique_ptr<MultidimensionalLinker> engine;
  PreparedEngine(int model, int d, int items, int grid) {
    f.writeItems("from.txt", makeItems(d, items, 11));
    f.writeItems("to.txt", makeItems(d, items, 12));
    f.writeParameters(gridKeys(model, d, grid, format(d)), {"1= from.txt to.txt"});
    engine = makeEngine(model, &f.job);
    engine->prepareData();
  }
  int n() const { return engine->dimension() * (engine->dimension() + 1); }
  void setRandomParameters(unsigned seed) {
    std::mt19937 rng(seed);
    std::uniform_real_distribution<double> near(-0.3, 0.3);
    const int d = engine->dimension();
    engine->parameters.assign(n(), 0.0);
    for (int r = 0; r < n(); ++r) engine->parameters[r] = near(rng);
    for (int k = 0; k < d; ++k) engine->parameters[k * d + k] += 1.0;
    engine->parameterCount = n();
  }
  std::vector<double> model(int order, const std::vector<double>& theta) {
    const std::int64_t m = engine->outputSize;
    std::vector<double> out(m * (1 + n() + n() * n()), 0.0);
    engine->evaluateModel(order, theta.data(), out.data());
    return out;
  }
};

}  // namespace

// The model derivatives are exact; central differences agree to their truncation error.
TEST(SurfaceLinkers, ModelDerivativesMatchCentralDifferences) {
  for (int model : {3, 4}) {
    for (int d : {1, 2, 3}) {
      PreparedEngine p(model, d, 6, 3);
      ASSERT_EQ(p.engine->status, 0);
      const int n = p.n();
      const std::int64_t m = p.engine->outputSize;
      std::mt19937 rng(d * 7 + model);
      std::uniform_real_distribution<double> coordinate(-2.0, 2.0);
      for (int trial = 0; trial < 3; ++trial) {
        p.setRandomParameters(100 * d + trial);
        std::vector<double> theta(d);
        for (double& t : theta) t = coordinate(rng);
        const std::vector<double> exact = p.model(2, theta);
        const double h = 1e-5;
        for (int r = 0; r < n; ++r) {
          const double keep = p.engine->parameters[r];
          p.engine->parameters[r] = keep + h;
          const std::vector<double> up = p.model(1, theta);
          p.engine->parameters[r] = keep - h;
          const std::vector<double> down = p.model(1, theta);
          p.engine->parameters[r] = keep;
          for (std::int64_t j = 0; j < m; ++j) {
            const double first = (up[j] - down[j]) / (2 * h);
            EXPECT_NEAR(exact[m + j * n + r], first, 1e-7) << model << " d" << d << " r" << r;
            for (int s = 0; s < n; ++s) {
              const double second = (up[m + j * n + s] - down[m + j * n + s]) / (2 * h);
              EXPECT_NEAR(exact[m * (n + 1) + j * n * n + s * n + r], second, 1e-6)
                  << model << " d" << d << " r" << r << " s" << s;
            }
          }
        }
      }
    }
  }
}

// G and H of the objective belong to half the undivided sum: G = (N m / 2) dF.
TEST(SurfaceLinkers, ObjectiveGradientAndHessianMatchTheValue) {
  for (int model : {3, 4}) {
    PreparedEngine p(model, 2, 5, 5);
    p.setRandomParameters(7);
    const int n = p.n();
    const double scale = p.engine->pointCount * p.engine->outputSize / 2.0;
    std::vector<double> out(1 + n + n * n);
    p.engine->evaluate(2, out.data());
    const double h = 1e-5;
    for (int r = 0; r < n; ++r) {
      const double keep = p.engine->parameters[r];
      std::vector<double> up(1 + n), down(1 + n);
      p.engine->parameters[r] = keep + h;
      p.engine->evaluate(1, up.data());
      p.engine->parameters[r] = keep - h;
      p.engine->evaluate(1, down.data());
      p.engine->parameters[r] = keep;
      EXPECT_NEAR(out[1 + r], scale * (up[0] - down[0]) / (2 * h), 1e-6) << model << " " << r;
      for (int s = 0; s < n; ++s) {
        EXPECT_NEAR(out[1 + n + s * n + r], (up[1 + s] - down[1 + s]) / (2 * h), 1e-5)
            << model << " " << r << "," << s;
      }
    }
  }
}

TEST(SurfaceLinkers, GridPointsRunLastCoordinateFastest) {
  PreparedEngine p(3, 2, 3, 3);
  const LargeBuffer<double> expected = {-4, -4, -4, 0, -4, 4, 0, -4, 0, 0, 0, 4, 4, -4, 4, 0, 4, 4};
  EXPECT_EQ(p.engine->points, expected);
}

TEST(SurfaceLinkers, IdenticalFilesEndAtOnceWithTheIdentity) {
  for (int model : {3, 4}) {
    LinkingFixture f;
    f.writeItems("items.txt", makeItems(2, 8, 3));
    f.writeParameters(gridKeys(model, 2, 5, format(2)), {"1= items.txt items.txt"});
    auto engine = makeEngine(model, &f.job);
    const double result = engine->run(1);
    EXPECT_EQ(engine->status, 0);
    EXPECT_EQ(engine->searchStatus, SearchMinimizer::kSmallGradient);
    EXPECT_LT(result, 1e-25);  // the least-squares start is the identity up to rounding
    const std::vector<double> identity = {1, 0, 0, 1, 0, 0};
    for (int k = 0; k < 6; ++k) EXPECT_NEAR(engine->transformation[k], identity[k], 1e-12);
    // No step was taken: the only progress post is the pair's own.
    EXPECT_EQ(f.host.progress.size(), 1u);
  }
}

TEST(SurfaceLinkers, SingleCommonItemGivesTheSameResultInBothModels) {
  std::vector<double> results[2];
  for (int model : {3, 4}) {
    LinkingFixture f;
    f.writeItems("from.txt", {{1.2, 0.3, 0.1}});
    f.writeItems("to.txt", {{0.9, -0.2, 0.1}});
    f.writeParameters(gridKeys(model, 1, 21, "ADC"), {"1= from.txt to.txt"});
    std::vector<double>& area = f.job.resultArea;
    auto engine = makeEngine(model, &f.job);
    area.insert(area.begin(), engine->run(1));
    area.resize(3);
    EXPECT_EQ(engine->status, 0);
    results[model - 3] = area;
  }
  for (int k = 0; k < 3; ++k) EXPECT_DOUBLE_EQ(results[0][k], results[1][k]) << k;
}

TEST(SurfaceLinkers, WrongModelIsRefusedWithEachEnginesValue) {
  LinkingFixture f;
  f.writeItems("items.txt", makeItems(1, 3, 1));
  f.writeParameters(gridKeys(4, 1, 5, "ADC"), {"1= items.txt items.txt"});
  TestSurfaceLinker modelThree(&f.job);
  EXPECT_EQ(modelThree.run(1), -4.0);
  EXPECT_EQ(modelThree.status, 0);

  LinkingFixture g;
  g.writeItems("items.txt", makeItems(1, 3, 1));
  g.writeParameters(gridKeys(3, 1, 5, "ADC"), {"1= items.txt items.txt"});
  ItemSurfaceLinker modelFour(&g.job);
  EXPECT_EQ(modelFour.run(1), -1.0);

  LinkingFixture h;
  h.writeParameters(gridKeys(3, 1, 5, "ADC"), {"1= gone.txt items.txt"});
  TestSurfaceLinker failed(&h.job);
  EXPECT_EQ(failed.status, 2);
  EXPECT_EQ(failed.run(1), -4.0);
}

TEST(SurfaceLinkers, GridTooLargeIsRefusedBeforeAllocating) {
  LinkingFixture f;
  f.writeItems("items.txt", makeItems(10, 3, 1));
  f.writeParameters(gridKeys(4, 10, 11, format(10)), {"1= items.txt items.txt"});
  ItemSurfaceLinker engine(&f.job);
  EXPECT_EQ(engine.status, MultidimensionalLinker::kNoPoints);
  EXPECT_TRUE(engine.points.empty());
  ASSERT_EQ(f.host.messages.size(), 1u);
  EXPECT_NE(f.host.messages[0].text.find("25937424601"), std::string::npos)
      << f.host.messages[0].text;
}

TEST(SurfaceLinkers, StopDuringTheSearchReportsMinusTen) {
  // Not the last pair: status 8 from the next pair's poll. The last pair: status 0.
  for (int pairs : {2, 1}) {
    LinkingFixture f;
    f.writeItems("from.txt", makeItems(2, 10, 5));
    f.writeItems("to.txt", makeItems(2, 10, 6));
    std::vector<std::string> entries = {"1= from.txt to.txt"};
    if (pairs == 2) entries.push_back("2= from.txt to.txt");
    f.writeParameters(gridKeys(3, 2, 7, format(2)), entries);
    f.host.onProgress = [&f](const ProgressNote& note) {
      if (note.searchStep == 2) f.job.stopEvent.set();
    };
    TestSurfaceLinker engine(&f.job);
    EXPECT_EQ(engine.run(pairs), -10.0);
    EXPECT_EQ(engine.status, pairs == 2 ? 8 : 0);
    const std::string report = readWholeFile(f.dir.file("report.txt"));
    EXPECT_NE(report.find("\n-1.000000e+01 "), std::string::npos) << report;
  }
}

TEST(SurfaceLinkers, EmpiricalThetaFileSuppliesThePoints) {
  LinkingFixture f;
  f.writeItems("from.txt", makeItems(1, 6, 8));
  f.writeItems("to.txt", makeItems(1, 6, 9));
  f.dir.write("theta.txt", "-1.5\n-0.5\n0.0\n0.5\n1.5\n");
  auto keys = gridKeys(4, 1, 0, "ADC");
  keys.push_back("Emp_Column_Format= T");
  keys.push_back("Weighing_Method= 2");
  f.writeParameters(keys, {"1= from.txt to.txt theta.txt"});
  ItemSurfaceLinker engine(&f.job);
  ASSERT_EQ(engine.status, 0);
  engine.prepareData();
  EXPECT_EQ(engine.points, (LargeBuffer<double>{-1.5, -0.5, 0.0, 0.5, 1.5}));
  // Any non-zero weighing method weights by the normal density.
  EXPECT_NEAR(engine.weights[0], std::exp(-1.125), 1e-15);
  EXPECT_EQ(engine.weights[2], 1.0);
}

TEST(SurfaceLinkers, FailedLeastSquaresStartFallsBackToTheIdentity) {
  LinkingFixture f;
  // Every From item loads on the first dimension only: the cross-product matrix is singular.
  f.writeItems("from.txt", {{1.0, 0.0, 0.1, 0.0}, {1.5, 0.0, -0.4, 0.0}, {0.7, 0.0, 0.9, 0.0}});
  f.writeItems("to.txt", makeItems(2, 3, 4));
  f.writeParameters(gridKeys(3, 2, 5, format(2)), {"1= from.txt to.txt"});
  TestSurfaceLinker engine(&f.job);
  engine.transformation.assign(6, 42.0);
  engine.setStartingPoint();
  EXPECT_EQ(engine.transformation, (std::vector<double>{1, 0, 0, 1, 0, 0}));
  EXPECT_EQ(f.host.messageTexts(), std::vector<std::string>{"Singular Matrix"});
}

TEST(SurfaceLinkers, MissingToFileOfALaterPairAsksAndGoesOn) {
  LinkingFixture f;
  f.writeItems("items.txt", makeItems(1, 4, 2));
  f.host.answers = {MessageAnswer::Ok};
  f.writeParameters(gridKeys(3, 1, 5, "ADC"),
                    {"1= items.txt items.txt", "2= items.txt gone.txt", "3= items.txt items.txt"});
  TestSurfaceLinker engine(&f.job);
  engine.run(3);
  EXPECT_EQ(engine.status, 0);
  const std::vector<std::string> texts = f.host.messageTexts();
  ASSERT_FALSE(texts.empty());
  EXPECT_EQ(texts.back(), "Problem in Linking, Continue?");
  EXPECT_EQ(f.host.progress.size(), 3u);
}

TEST(SurfaceLinkers, SingularFittedMatrixIsReportedUnconverted) {
  LinkingFixture f;
  f.writeItems("items.txt", makeItems(2, 4, 2));
  f.writeParameters(gridKeys(3, 2, 3, format(2)), {"1= items.txt items.txt"});
  TestSurfaceLinker engine(&f.job);
  engine.transformation = {1, 2, 2, 4, 0.5, -0.5};
  engine.convertForReport();
  EXPECT_EQ(engine.settings().conversionProblems, 1);
  EXPECT_EQ(engine.transformation, (std::vector<double>{1, 2, 2, 4, 0.5, -0.5}));

  engine.transformation = {2, 0, 0, 4, 1, 1};
  engine.convertForReport();
  EXPECT_EQ(engine.settings().conversionProblems, 0);
  EXPECT_EQ(engine.transformation, (std::vector<double>{0.5, 0, 0, 0.25, -0.5, -0.25}));
}

// The restart from the identity fails (its criterion turns non-finite): the first search's
// result is still reported, not a failed pair.
TEST(SurfaceLinkers, FailedRestartKeepsTheFirstSearchsResult) {
  struct RestartFails : TestSurfaceLinker {
    using TestSurfaceLinker::TestSurfaceLinker;
    bool restarted = false;
    void evaluate(int order, double* out) override {
      TestSurfaceLinker::evaluate(order, out);
      const int d = dimension();
      bool identity = true;
      for (int r = 0; r < d * (d + 1); ++r) {
        identity = identity && parameters[r] == ((r < d * d && r % (d + 1) == 0) ? 1.0 : 0.0);
      }
      restarted = restarted || identity;
      if (restarted) out[0] = std::nan("");
    }
  };
  LinkingFixture f;
  f.writeItems("from.txt", makeItems(2, 12, 11));
  f.writeItems("to.txt", makeItems(2, 12, 12));
  auto keys = gridKeys(3, 2, 7, format(2));
  keys.insert(keys.end(), {"Search_Method= 2", "Tolerance= 1e-12", "Number_Change_Direction= 1",
                           "Number_Step= 8", "Initial_Step_Length= 1.0"});
  f.writeParameters(keys, {"1= from.txt to.txt"});
  RestartFails engine(&f.job);
  const double result = engine.run(1);
  ASSERT_TRUE(engine.restarted) << "the first search must end by running out of cycles";
  EXPECT_EQ(engine.status, 0);
  EXPECT_GT(result, 0.0);
  EXPECT_TRUE(std::isfinite(result));
  EXPECT_EQ(
      f.host.messageTexts(),
      std::vector<std::string>{"Search stopped: the criterion value is not a finite number."});
  EXPECT_NE(readWholeFile(f.dir.file("report.txt")).find(",M:3,P:1"), std::string::npos);
}
