// theta* = A theta + b for the parameter layout of the linking engines: A row by row
// (A[k][l] at k d + l), then b (b[k] at d^2 + k).
#pragma once

inline void transformedPoint(const double* parameters, const double* theta, int d,
                             double* thetaStar) {
  const double* b = parameters + d * d;
  for (int k = 0; k < d; ++k) {
    double sum = b[k];
    for (int l = 0; l < d; ++l) sum += parameters[k * d + l] * theta[l];
    thetaStar[k] = sum;
  }
}
