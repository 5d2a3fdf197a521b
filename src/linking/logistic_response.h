// The response of the compensatory multidimensional three-parameter logistic model.
//
// P(z) = c + (1 - c) / (1 + exp(-z)) with its first and second derivatives in z; outside
// [-20, 20] the response is taken as flat (1 above, c below). No scaling constant: item
// values come in already scaled where the data file asks for it.
#pragma once

#include <cmath>

struct Response {
  double p = 0.0;
  double first = 0.0;   // dP/dz, for order >= 1
  double second = 0.0;  // d2P/dz2, for order 2
};

inline Response logisticResponse(double z, double c, int order) {
  Response r;
  if (z > 20.0) {
    r.p = 1.0;
    return r;
  }
  if (z < -20.0) {
    r.p = c;
    return r;
  }
  const double e = std::exp(-z);
  const double onePlus = 1.0 + e;
  r.p = c + (1.0 - c) / onePlus;
  if (order >= 1) r.first = (1.0 - c) * e / (onePlus * onePlus);
  if (order >= 2) r.second = (1.0 - c) * e * (e - 1.0) / (onePlus * onePlus * onePlus);
  return r;
}

// exp(-theta'theta / 2): the standard normal density without its constant.
inline double normalWeight(const double* theta, int dimension) {
  double sum = 0.0;
  for (int k = 0; k < dimension; ++k) sum += theta[k] * theta[k];
  return std::exp(-0.5 * sum);
}
