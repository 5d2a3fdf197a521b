// LeastSquaresObjective: a weighted least-squares fit of a model function over points.
//
// With r_i = y_i - f(x_i) (m values per point) and weights w_i:
//   F = sum_i w_i |r_i|^2 / (N m),
//   G = -sum_i w_i J_i^T r_i,  H = sum_i w_i (J_i^T J_i - sum_j r_ij Hess f_ij),
// the exact gradient and Hessian of half the undivided sum (not of F). Derived classes give
// the model through evaluateModel(); the points, targets and weights are filled by them too.
#pragma once

#include <cstdint>
#include <vector>

#include "numerics/large_buffer.h"
#include "numerics/search_minimizer.h"

class LeastSquaresObjective : public SearchMinimizer {
 public:
  // Sizes N (points), m (model values per point), c (coordinates per point). A zero size sets
  // searchStatus -2 and returns 1; sizes whose arrays overflow or cannot be allocated return
  // 2 (searchStatus -9); otherwise 0. Without storePoints, points stays empty (a derived class
  // that builds its points itself). targetRows above N gives targets room for that many rows
  // of m (a derived class that pads its targets), so that they are allocated once.
  int allocatePoints(std::int64_t n, std::int64_t m, std::int64_t c, bool storePoints = true,
                     std::int64_t targetRows = 0);

  void evaluate(int order, double* out) override;

  // Writes the model values at point (c values) under the current parameters: out[0..m-1];
  // for order >= 1 then m rows of n first derivatives; for order 2 then m blocks of n x n
  // second derivatives.
  virtual void evaluateModel(int order, const double* point, double* out) = 0;

  std::int64_t inputSize = 0;
  std::int64_t outputSize = 0;
  std::int64_t pointCount = 0;
  // The model values per point the criterion is divided by; 0: all of them (outputSize).
  std::int64_t divisorValues = 0;
  // Large arrays, written in full right after allocation (see LargeBufferAllocator).
  LargeBuffer<double> targets;  // N x m
  LargeBuffer<double> points;   // N x c
  LargeBuffer<double> weights;  // N
};
