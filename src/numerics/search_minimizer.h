// SearchMinimizer: minimizes an objective over n parameters by cycles of a line search.
//
// Each cycle evaluates the value with derivatives once, takes the gradient (steepest descent,
// method 1) or the Newton-Raphson direction (method 2) and steps along it, halving the step
// after a step that did not lower the value. A moderate gradient switches to Newton-Raphson.
// The search ends on a small gradient (status 1), a small relative change (2), or when the
// cycles run out, a cycle makes no progress or a stop is requested (3). Negative statuses are
// failures. Derived classes implement evaluate(); the search is single-threaded and polls its
// hooks (stop, progress) once per step.
#pragma once

#include <string>
#include <vector>

// What the search asks of its surroundings; all optional.
class SearchHooks {
 public:
  virtual ~SearchHooks() = default;
  // Zero-wait poll of the run's stop request.
  virtual bool stopRequested() = 0;
  // Called before every step with the step count of this search and the current value.
  virtual void stepTaken(long step, double currentValue) = 0;
  // A warning for the user (the search or the objective cannot go on).
  virtual void warn(const std::string& text) = 0;
};

class SearchMinimizer {
 public:
  // Search statuses: how the last search ended.
  static constexpr int kSearching = 0;
  static constexpr int kSmallGradient = 1;
  static constexpr int kSmallChange = 2;
  static constexpr int kEnded = 3;
  static constexpr int kNoParameters = -10;
  static constexpr int kNoMemory = -9;
  static constexpr int kNotFinite = -8;  // a value or direction that is not a finite number
  static constexpr int kNoPoints = -3;
  static constexpr int kZeroSize = -2;

  static constexpr double kNoValue = -0.9191919;  // bestValue before any search
  static constexpr double kStopped = -10.0;       // bestValue of a stopped search
  static constexpr int kMaxLoadings = 50;         // bound on diagonal loading of the Hessian

  virtual ~SearchMinimizer() = default;

  // Stores method, tolerance, stepLength, maxDirectionChanges and maxSteps, in that order.
  void setSearchSettings(int method, double tolerance, double stepLength, int maxDirectionChanges,
                         int maxSteps);

  // Minimizes from x (n values) and writes the final point back (not on failure).
  void minimize(double* x, int n);

  // Solves H direction = G for buf = G (n) followed by H (n x n, row by row); H may be loaded
  // on its diagonal. Returns false when no loading up to kMaxLoadings gives a usable factor.
  bool newtonDirection(double* gradientAndHessian, double* direction);

  // The objective's value at x (n values), or NaN when it cannot be had; leaves the search's
  // state (parameters, status, counters, best value) as it was.
  double valueAt(const double* x, int n);

  // Objective: order 0 writes out[0] = F; order 1 also out[1..n] = G; order 2 also
  // out[n+1 .. n+n*n] = H row by row. A failure sets searchStatus negative.
  virtual void evaluate(int order, double* out) = 0;

  int parameterCount = 0;
  std::vector<double> parameters;
  int method = 2;
  double tolerance = 1e-8;
  double stepLength = 1.0;
  int maxDirectionChanges = 15;
  int maxSteps = 8;
  SearchHooks* hooks = nullptr;  // progress window and stop event of the run
  int searchStatus = 0;
  double bestValue = kNoValue;
  // Counters of the last search: cycles begun, steps taken, objective evaluations.
  long long cyclesDone = 0;
  long long stepsTaken = 0;
  long long evaluations = 0;
};
