// TestSurfaceLinker: Model 3, linking by the test characteristic surface.
//
// The model value at a point is the expected number-correct score T(theta) = sum_j P_j, so
//   F(A, b) = sum_i w_i (T_To(theta_i) - T_From(A theta_i + b))^2 / N.
// With z_j = a_j'(A theta + b) + d_j linear in A and b, the derivatives are exact:
//   dT/dA[k][l] = g_k theta_l,  dT/db[k] = g_k,  g = sum_j P'_j a_j,
// and the second derivatives come from S = sum_j P''_j a_j a_j'. A polytomous item adds its
// expected score E_j = sum_k k P_jk in place of P_j, with E'_j and E''_j in place of P'_j, P''_j.
#pragma once

#include "linking/category_response.h"
#include "linking/multidimensional_linker.h"

class TestSurfaceLinker : public MultidimensionalLinker {
 public:
  static constexpr double kRefused = -4.0;

  explicit TestSurfaceLinker(LinkingJob* job);

  void evaluateModel(int order, const double* theta, double* out) override;

 private:
  std::vector<double> thetaStar_, gradient_, curvature_;
  CategoryResponses categories_;
};
