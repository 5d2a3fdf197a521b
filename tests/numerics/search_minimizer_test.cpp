#include "numerics/search_minimizer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace {

// An objective given by functions of the point, recording every evaluation.
class ScriptedSearch : public SearchMinimizer {
 public:
  std::function<double(const double*)> value;
  std::function<void(const double*, double*)> gradient;
  std::function<void(const double*, double*)> hessian;
  std::function<int(int)> failAt;  // call index -> searchStatus to set (0 = none)
  std::vector<int> orders;
  std::vector<double> trialX0;  // first coordinate of every order-0 point

  void evaluate(int order, double* out) override {
    orders.push_back(order);
    if (failAt && failAt(static_cast<int>(orders.size())) != 0) {
      searchStatus = failAt(static_cast<int>(orders.size()));
      return;
    }
    if (order == 0) trialX0.push_back(parameters[0]);
    out[0] = value(parameters.data());
    if (order >= 1) gradient(parameters.data(), out + 1);
    if (order == 2) hessian(parameters.data(), out + 1 + parameterCount);
  }

  // F = sum_k (x_k - c_k)^2 + offset.
  void setSquares(std::vector<double> c, double offset = 0.0) {
    value = [c, offset](const double* x) {
      double f = offset;
      for (size_t k = 0; k < c.size(); ++k) f += (x[k] - c[k]) * (x[k] - c[k]);
      return f;
    };
    gradient = [c](const double* x, double* g) {
      for (size_t k = 0; k < c.size(); ++k) g[k] = 2 * (x[k] - c[k]);
    };
    hessian = [n = c.size()](const double*, double* h) {
      for (size_t k = 0; k < n * n; ++k) h[k] = k % (n + 1) == 0 ? 2.0 : 0.0;
    };
  }

  // A constant, possibly misleading, gradient for one parameter.
  void setGradient(double g) {
    gradient = [g](const double*, double* out) { out[0] = g; };
  }
};

class RecordingHooks : public SearchHooks {
 public:
  int stopAtPoll = 0;  // 0: never
  int polls = 0;
  std::vector<std::pair<long, double>> steps;
  std::vector<std::string> warnings;

  bool stopRequested() override { return ++polls == stopAtPoll; }
  void stepTaken(long step, double currentValue) override {
    steps.emplace_back(step, currentValue);
  }
  void warn(const std::string& text) override { warnings.push_back(text); }
};

}  // namespace

TEST(SearchMinimizer, NewtonReachesMinimumOfCoupledQuadratic) {
  // F = 0.5 + (x - c)^T A (x - c) / 2 with A = [[3, 1], [1, 2]], c = (1, -2).
  ScriptedSearch s;
  auto residual = [](const double* x) { return std::pair{x[0] - 1, x[1] + 2}; };
  s.value = [&](const double* x) {
    auto [u, v] = residual(x);
    return 0.5 + 0.5 * (3 * u * u + 2 * u * v + 2 * v * v);
  };
  s.gradient = [&](const double* x, double* g) {
    auto [u, v] = residual(x);
    g[0] = 3 * u + v;
    g[1] = u + 2 * v;
  };
  s.hessian = [](const double*, double* h) { h[0] = 3, h[1] = 1, h[2] = 1, h[3] = 2; };
  double x[] = {0, 0};
  s.minimize(x, 2);
  EXPECT_EQ(s.searchStatus, SearchMinimizer::kSmallGradient);
  EXPECT_NEAR(x[0], 1.0, 1e-12);
  EXPECT_NEAR(x[1], -2.0, 1e-12);
  EXPECT_NEAR(s.bestValue, 0.5, 1e-15);
}

TEST(SearchMinimizer, StartAtMinimumEndsAfterOneEvaluation) {
  ScriptedSearch s;
  RecordingHooks hooks;
  s.hooks = &hooks;
  s.setSquares({1, 2}, 7.0);
  double x[] = {1, 2};
  s.minimize(x, 2);
  EXPECT_EQ(s.searchStatus, SearchMinimizer::kSmallGradient);
  EXPECT_EQ(s.orders, std::vector<int>{2});
  EXPECT_TRUE(hooks.steps.empty());
  EXPECT_EQ(hooks.polls, 0);
  EXPECT_EQ(s.bestValue, 7.0);
  EXPECT_EQ(x[0], 1.0);
  EXPECT_EQ(x[1], 2.0);
}

TEST(SearchMinimizer, NothingToSearch) {
  ScriptedSearch s;
  s.setSquares({1});
  double x = 5.0;
  s.setSearchSettings(2, 1e-8, 1.0, 0, 8);
  s.minimize(&x, 1);
  EXPECT_EQ(s.searchStatus, SearchMinimizer::kEnded);
  EXPECT_TRUE(s.orders.empty());
  EXPECT_EQ(s.bestValue, SearchMinimizer::kNoValue);
  EXPECT_EQ(x, 5.0);

  s.setSearchSettings(2, 1e-8, 1.0, 15, 8);
  s.minimize(&x, 0);
  EXPECT_EQ(s.searchStatus, SearchMinimizer::kNoParameters);
  EXPECT_TRUE(s.orders.empty());
}

TEST(SearchMinimizer, StepHalvesAfterEveryRiseThenCycleWithoutProgressEnds) {
  // The gradient points uphill: every step of x - step * g raises F = x^2 + 1.
  ScriptedSearch s;
  RecordingHooks hooks;
  s.hooks = &hooks;
  s.value = [](const double* x) { return x[0] * x[0] + 1; };
  s.setGradient(-0.5);
  s.setSearchSettings(1, 1e-8, 1.0, 15, 8);
  double x = 1.0;
  s.minimize(&x, 1);
  EXPECT_EQ(s.trialX0, (std::vector<double>{1.5, 1.25, 1.125, 1.0625, 1.03125, 1.015625, 1.0078125,
                                            1.00390625}));
  EXPECT_EQ(s.orders.size(), 9u);  // one cycle
  EXPECT_EQ(s.searchStatus, SearchMinimizer::kEnded);
  EXPECT_EQ(x, 1.0);
  EXPECT_EQ(s.bestValue, 2.0);
  ASSERT_EQ(hooks.steps.size(), 8u);
  EXPECT_EQ(hooks.steps.front(), (std::pair<long, double>{1, 2.0}));
  EXPECT_EQ(hooks.steps.back(), (std::pair<long, double>{8, 2.0}));
}

TEST(SearchMinimizer, ImprovingStepKeepsItsLengthUntilCyclesRunOut) {
  ScriptedSearch s;
  s.value = [](const double* x) { return (x[0] - 10) * (x[0] - 10); };
  s.setGradient(-1.0);
  s.setSearchSettings(1, 1e-8, 1.0, 1, 8);
  double x = 0.0;
  s.minimize(&x, 1);
  EXPECT_EQ(s.trialX0, (std::vector<double>{1, 2, 3, 4, 5, 6, 7, 8}));
  EXPECT_EQ(s.searchStatus, SearchMinimizer::kEnded);
  EXPECT_EQ(x, 8.0);
  EXPECT_EQ(s.bestValue, 4.0);
}

TEST(SearchMinimizer, SteepGradientDoublesStepsPerCycle) {
  // n = 1: 5n = 5 and n^3 = 1, so a steep cycle never switches method.
  for (auto [g, steps] : {std::pair{2.0, 8u}, std::pair{3.0, 16u}}) {
    ScriptedSearch s;
    s.value = [](const double* x) { return 1 + x[0] * x[0]; };
    s.setGradient(-g);
    s.setSearchSettings(1, 1e-8, 1.0, 15, 8);
    double x = 1.0;
    s.minimize(&x, 1);
    EXPECT_EQ(s.trialX0.size(), steps) << "g = " << g;
    EXPECT_EQ(s.method, 1);
  }
}

TEST(SearchMinimizer, ModerateGradientSwitchesToNewtonFromNextCycle) {
  // n = 3, g^2 = 17.28 lies between 5n = 15 and n^3 = 27.
  ScriptedSearch s;
  s.setSquares({0, 0, 0});
  s.setSearchSettings(1, 1e-8, 0.1, 15, 2);
  double x[] = {1.2, 1.2, 1.2};
  s.minimize(x, 3);
  ASSERT_GE(s.orders.size(), 6u);
  EXPECT_EQ(std::vector<int>(s.orders.begin(), s.orders.begin() + 6),
            (std::vector<int>{1, 0, 0, 0, 0, 2}));
  EXPECT_DOUBLE_EQ(s.trialX0[0], 1.2 - 0.1 * 2.4);  // the first cycle keeps its step 0.1
  EXPECT_EQ(s.method, 2);
  EXPECT_EQ(s.stepLength, 1.0);
  EXPECT_EQ(s.searchStatus, SearchMinimizer::kSmallGradient);
  for (double v : x) EXPECT_NEAR(v, 0.0, 1e-12);
}

TEST(SearchMinimizer, UnknownMethodBecomesNewtonAndStays) {
  ScriptedSearch s;
  s.setSquares({3});
  s.method = 7;
  double x = 3.0;
  s.minimize(&x, 1);
  EXPECT_EQ(s.orders, std::vector<int>{2});
  EXPECT_EQ(s.method, 2);
}

TEST(SearchMinimizer, SmallRelativeChangeKeepsStepButNotItsValue) {
  ScriptedSearch s;
  s.value = [](const double* x) { return 5 + 1e-12 * x[0]; };
  s.setGradient(1.0);
  s.setSearchSettings(1, 1e-8, 1.0, 15, 8);
  double x = 0.0;
  s.minimize(&x, 1);
  EXPECT_EQ(s.searchStatus, SearchMinimizer::kSmallChange);
  EXPECT_EQ(x, -1.0);
  EXPECT_EQ(s.bestValue, 5.0);
}

TEST(SearchMinimizer, ZeroCurrentValueComparesWithoutDividing) {
  ScriptedSearch flat;
  flat.value = [](const double*) { return 0.0; };
  flat.setGradient(1.0);
  flat.setSearchSettings(1, 1e-8, 1.0, 15, 8);
  double x = 0.0;
  flat.minimize(&x, 1);
  EXPECT_EQ(flat.searchStatus, SearchMinimizer::kSmallChange);
  EXPECT_EQ(x, -1.0);

  ScriptedSearch bowl;
  bowl.value = [](const double* p) { return p[0] * p[0]; };
  bowl.setGradient(1.0);
  bowl.setSearchSettings(1, 1e-8, 1.0, 15, 8);
  x = 0.0;
  bowl.minimize(&x, 1);
  EXPECT_EQ(bowl.searchStatus, SearchMinimizer::kEnded);
  EXPECT_EQ(bowl.trialX0.size(), 8u);
  EXPECT_EQ(x, 0.0);
}

TEST(NewtonDirection, LoadsDiagonalUntilFactorAccepted) {
  ScriptedSearch s;
  s.parameterCount = 2;
  // Second column zero; after one loading the first is; after two both are usable.
  double buf[] = {1, 2, -0.5, 0, 0, 0};
  double direction[2];
  ASSERT_TRUE(s.newtonDirection(buf, direction));
  EXPECT_EQ(buf[2], 0.5);
  EXPECT_EQ(buf[5], 1.0);
  EXPECT_NEAR(direction[0], 2.0, 1e-14);
  EXPECT_NEAR(direction[1], 2.0, 1e-14);

  double nanHessian[] = {1, 2, std::nan(""), 0, 0, 1};
  EXPECT_FALSE(s.newtonDirection(nanHessian, direction));
  EXPECT_EQ(nanHessian[5], 1.0);  // no loading was tried
}

TEST(NewtonDirection, HessianThatLoadingCannotRepairFailsTheSearch) {
  // Four equal columns of 2^70: the factor fails exactly, and 0.5 vanishes against 2^70, so
  // every loaded copy is as singular as the first.
  ScriptedSearch s;
  RecordingHooks hooks;
  s.hooks = &hooks;
  s.setSquares({0, 0, 0, 0});
  s.hessian = [](const double*, double* h) { std::fill(h, h + 16, std::ldexp(1.0, 70)); };
  double x[] = {1, 1, 1, 1};
  s.minimize(x, 4);
  EXPECT_EQ(s.searchStatus, SearchMinimizer::kNotFinite);
  ASSERT_EQ(hooks.warnings.size(), 1u);
  EXPECT_NE(hooks.warnings[0].find("50"), std::string::npos);
  EXPECT_EQ(x[0], 1.0);
}

TEST(SearchMinimizer, StopRequestEndsSearchAndKeepsPoint) {
  ScriptedSearch s;
  RecordingHooks hooks;
  hooks.stopAtPoll = 2;
  s.hooks = &hooks;
  s.value = [](const double* x) { return (x[0] - 10) * (x[0] - 10); };
  s.setGradient(-1.0);
  s.setSearchSettings(1, 1e-8, 1.0, 15, 8);
  double x = 0.0;
  s.minimize(&x, 1);
  EXPECT_EQ(s.searchStatus, SearchMinimizer::kEnded);
  EXPECT_EQ(s.bestValue, SearchMinimizer::kStopped);
  EXPECT_EQ(x, 1.0);
  EXPECT_EQ(hooks.steps.size(), 1u);
}

TEST(SearchMinimizer, NonFiniteNumbersFailWithoutWritingBack) {
  struct Case {
    const char* what;
    std::function<void(ScriptedSearch&)> spoil;
  };
  const double nan = std::nan("");
  const std::vector<Case> cases = {
      {"value at a step",
       [&](ScriptedSearch& s) {
         s.value = [&](const double* x) { return x[0] == 1.0 ? 1.0 : nan; };
       }},
      {"infinite value",
       [](ScriptedSearch& s) { s.value = [](const double*) { return INFINITY; }; }},
      {"gradient",
       [&](ScriptedSearch& s) { s.gradient = [&](const double*, double* g) { g[0] = nan; }; }},
      {"hessian",
       [&](ScriptedSearch& s) { s.hessian = [&](const double*, double* h) { h[0] = nan; }; }},
  };
  for (const Case& c : cases) {
    ScriptedSearch s;
    RecordingHooks hooks;
    s.hooks = &hooks;
    s.setSquares({5});
    c.spoil(s);
    double x = 1.0;
    s.minimize(&x, 1);
    EXPECT_EQ(s.searchStatus, SearchMinimizer::kNotFinite) << c.what;
    EXPECT_EQ(hooks.warnings.size(), 1u) << c.what;
    EXPECT_EQ(x, 1.0) << c.what;
  }
}

TEST(SearchMinimizer, ObjectiveFailureEndsSearchWithoutWritingBack) {
  ScriptedSearch s;
  s.setSquares({5});
  s.failAt = [](int call) { return call == 2 ? SearchMinimizer::kNoPoints : 0; };
  double x = 1.0;
  s.minimize(&x, 1);
  EXPECT_EQ(s.searchStatus, SearchMinimizer::kNoPoints);
  EXPECT_EQ(s.orders.size(), 2u);
  EXPECT_EQ(x, 1.0);
}
