// ItemSurfaceLinker: Model 4, linking by the item response surfaces one by one.
//
// The model values at a point are the J item probabilities, so
//   F(A, b) = sum_i w_i sum_j (P_j,To(theta_i) - P_j,From(A theta_i + b))^2 / (N J).
// z_j is linear in the parameters with gradient v (v[k d + l] = a_jk theta_l, v[d^2 + k] =
// a_jk), so dP_j = P'_j v and d2P_j = P''_j v v'. A polytomous item of m categories gives m
// model values, its category probabilities, each with P'_jk v and P''_jk v v' (v as above, with
// s = a_j'theta* in place of z); the sum is still divided by N J, J the items.
#pragma once

#include "linking/category_response.h"
#include "linking/multidimensional_linker.h"

class ItemSurfaceLinker : public MultidimensionalLinker {
 public:
  static constexpr double kRefused = -1.0;

  explicit ItemSurfaceLinker(LinkingJob* job);

  void evaluateModel(int order, const double* theta, double* out) override;

 private:
  std::vector<double> thetaStar_, zGradient_;
  CategoryResponses categories_;
};
