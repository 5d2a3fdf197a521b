#include "numerics/least_squares_objective.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace {

// m = 2 values of three parameters at points (x0, x1):
//   f0 = p0 exp(p1 x0) + p2 x1,  f1 = sin(p0 x1) + p1 p2 x0.
class CurvedModel : public LeastSquaresObjective {
 public:
  void evaluateModel(int order, const double* x, double* out) override {
    const double* p = parameters.data();
    const double e = std::exp(p[1] * x[0]);
    out[0] = p[0] * e + p[2] * x[1];
    out[1] = std::sin(p[0] * x[1]) + p[1] * p[2] * x[0];
    if (order < 1) return;
    const double first[] = {e,           p[0] * x[0] * e, x[1], x[1] * std::cos(p[0] * x[1]),
                            p[2] * x[0], p[1] * x[0]};
    std::copy(first, first + 6, out + 2);
    if (order < 2) return;
    double* second = out + 8;
    std::fill(second, second + 18, 0.0);
    second[1] = second[3] = x[0] * e;
    second[4] = p[0] * x[0] * x[0] * e;
    second[9] = -x[1] * x[1] * std::sin(p[0] * x[1]);
    second[9 + 5] = second[9 + 7] = x[0];
  }
};

// Gives the same values and derivatives at every point.
class FixedModel : public LeastSquaresObjective {
 public:
  std::vector<double> values;
  int calls = 0;
  void evaluateModel(int order, const double*, double* out) override {
    ++calls;
    const size_t count = order == 0 ? outputSize : values.size();
    std::copy(values.begin(), values.begin() + count, out);
  }
};

class WarningHooks : public SearchHooks {
 public:
  std::vector<std::string> warnings;
  bool stopRequested() override { return false; }
  void stepTaken(long, double) override {}
  void warn(const std::string& text) override { warnings.push_back(text); }
};

void setParameters(SearchMinimizer& s, std::vector<double> p) {
  s.parameterCount = static_cast<int>(p.size());
  s.parameters = std::move(p);
}

}  // namespace

TEST(LeastSquaresObjective, DerivativesMatchFiniteDifferencesOfValue) {
  CurvedModel model;
  ASSERT_EQ(model.allocatePoints(4, 2, 2), 0);
  model.points = {0.1, 0.5, -0.4, 1.2, 0.7, -0.3, 1.1, 0.9};
  model.targets = {1.0, 0.2, 0.3, 1.5, 2.0, -0.1, 0.4, 0.8};
  model.weights = {0.5, 1.0, 2.0, 0.25};
  const std::vector<double> p = {0.8, -0.3, 1.5};
  const int n = 3;
  const double half = model.pointCount * model.outputSize / 2.0;  // G and H are not divided
  const double h = 1e-5;

  auto evaluateAt = [&](std::vector<double> at, int order) {
    setParameters(model, at);
    std::vector<double> out(1 + n + n * n, 0.0);
    model.evaluate(order, out.data());
    return out;
  };
  const std::vector<double> full = evaluateAt(p, 2);
  EXPECT_EQ(full[0], evaluateAt(p, 0)[0]);
  for (int k = 0; k < n; ++k) {
    std::vector<double> up = p, down = p;
    up[k] += h;
    down[k] -= h;
    const double dF = (evaluateAt(up, 0)[0] - evaluateAt(down, 0)[0]) / (2 * h);
    EXPECT_NEAR(full[1 + k], half * dF, 1e-7) << "gradient " << k;
    const std::vector<double> gUp = evaluateAt(up, 1), gDown = evaluateAt(down, 1);
    for (int r = 0; r < n; ++r) {
      EXPECT_NEAR(full[1 + n + r * n + k], (gUp[1 + r] - gDown[1 + r]) / (2 * h), 1e-7)
          << "hessian " << r << "," << k;
    }
  }
  EXPECT_EQ(model.searchStatus, 0);
}

TEST(LeastSquaresObjective, SinglePointExample) {
  FixedModel model;
  ASSERT_EQ(model.allocatePoints(1, 1, 1), 0);
  model.targets = {3.0};
  model.weights = {1.0};
  model.values = {1.0, 1.0, 0.0, 0.0, 0.0, 0.0, 0.0};
  setParameters(model, {0.0, 0.0});
  std::vector<double> out(7, 99.0);
  model.evaluate(2, out.data());
  EXPECT_EQ(out, (std::vector<double>{4.0, -2.0, 0.0, 1.0, 0.0, 0.0, 0.0}));
}

TEST(LeastSquaresObjective, ExactFitAndZeroWeightsGiveZero) {
  CurvedModel exact;
  ASSERT_EQ(exact.allocatePoints(2, 2, 2), 0);
  exact.points = {0.3, -0.2, 1.0, 0.5};
  exact.weights = {1.0, 3.0};
  setParameters(exact, {0.8, -0.3, 1.5});
  for (int i = 0; i < 2; ++i) exact.evaluateModel(0, &exact.points[2 * i], &exact.targets[2 * i]);
  std::vector<double> out(13, 99.0);
  exact.evaluate(1, out.data());
  for (int k = 0; k < 4; ++k) EXPECT_EQ(out[k], 0.0) << k;

  // A model with nothing but NaN contributes nothing where the weight is zero.
  FixedModel unweighted;
  ASSERT_EQ(unweighted.allocatePoints(3, 2, 1), 0);
  unweighted.values.assign(2 * (1 + 2 + 4), std::numeric_limits<double>::quiet_NaN());
  setParameters(unweighted, {1.0, 2.0});
  std::fill(out.begin(), out.end(), 99.0);
  unweighted.evaluate(2, out.data());
  for (int k = 0; k < 7; ++k) EXPECT_EQ(out[k], 0.0) << k;
}

TEST(LeastSquaresObjective, NoPointsOrNoMemoryFail) {
  FixedModel empty;
  setParameters(empty, {1.0});
  double out = 99.0;
  empty.evaluate(0, &out);
  EXPECT_EQ(empty.searchStatus, SearchMinimizer::kNoPoints);

  // n * n second derivatives per model value cannot be held.
  FixedModel huge;
  WarningHooks hooks;
  huge.hooks = &hooks;
  ASSERT_EQ(huge.allocatePoints(1, 1, 1), 0);
  huge.parameterCount = 2000000000;
  huge.evaluate(2, &out);
  EXPECT_EQ(huge.searchStatus, SearchMinimizer::kNoMemory);
  EXPECT_EQ(hooks.warnings, std::vector<std::string>{"Not Enough Memory"});
  EXPECT_EQ(huge.calls, 0);
  EXPECT_EQ(out, 99.0);
}

TEST(LeastSquaresObjective, AllocatePointsChecksSizes) {
  FixedModel model;
  EXPECT_EQ(model.allocatePoints(0, 1, 1), 1);
  EXPECT_EQ(model.searchStatus, SearchMinimizer::kZeroSize);
  EXPECT_EQ(model.allocatePoints(1, 1, 0), 1);
  EXPECT_EQ(model.pointCount, 0);

  model.searchStatus = 0;
  ASSERT_EQ(model.allocatePoints(3, 2, 4), 0);
  EXPECT_EQ(model.pointCount, 3);
  EXPECT_EQ(model.outputSize, 2);
  EXPECT_EQ(model.inputSize, 4);
  EXPECT_EQ(model.targets, LargeBuffer<double>(6, 0.0));
  EXPECT_EQ(model.points, LargeBuffer<double>(12, 0.0));
  EXPECT_EQ(model.weights, LargeBuffer<double>(3, 0.0));

  const std::int64_t big = std::int64_t{1} << 40;
  EXPECT_EQ(model.allocatePoints(big, big, 1), 2);
  EXPECT_EQ(model.searchStatus, SearchMinimizer::kNoMemory);
  EXPECT_EQ(model.pointCount, 3);  // the earlier arrays stay
  EXPECT_EQ(model.targets.size(), 6u);

  // Targets padded to whole blocks are allocated at once; big ones on huge pages, zeroed.
  ASSERT_EQ(model.allocatePoints(3, 2, 4, true, 64), 0);
  EXPECT_EQ(model.targets.size(), 128u);
  ASSERT_EQ(model.allocatePoints(300000, 1, 1, false), 0);
  EXPECT_EQ(model.targets, LargeBuffer<double>(300000, 0.0));
  EXPECT_TRUE(model.points.empty());
}

TEST(LeastSquaresObjective, SearchRecoversLineThroughPoints) {
  // f = p0 + p1 x fitted to y = 2 - x.
  class Line : public LeastSquaresObjective {
   public:
    void evaluateModel(int order, const double* x, double* out) override {
      out[0] = parameters[0] + parameters[1] * x[0];
      if (order >= 1) {
        out[1] = 1.0;
        out[2] = x[0];
      }
      if (order == 2) std::fill(out + 3, out + 7, 0.0);
    }
  } line;
  ASSERT_EQ(line.allocatePoints(4, 1, 1), 0);
  line.points = {-1, 0, 1, 3};
  line.targets = {3, 2, 1, -1};
  line.weights = {1, 2, 1, 0.5};
  double p[] = {0.0, 0.0};
  line.minimize(p, 2);
  EXPECT_GT(line.searchStatus, 0);
  EXPECT_NEAR(p[0], 2.0, 1e-9);
  EXPECT_NEAR(p[1], -1.0, 1e-9);
  EXPECT_LT(line.bestValue, 1e-18);
}
