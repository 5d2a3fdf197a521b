#include "linking/least_squares_fit.h"

#include <algorithm>
#include <cstddef>
#include <vector>

#include "numerics/matrix.h"

LeastSquaresFit fitLeastSquares(int n, int p, int parameterization, const double* toSlopes,
                                const double* toIntercepts, const double* fromSlopes,
                                const double* fromIntercepts, double* block) {
  std::vector<double> r(n);
  scaledSum(n, 1.0, toIntercepts, -1.0, fromIntercepts, r.data());

  std::vector<double> fromT(static_cast<std::size_t>(p) * n), cross(p * p), crossInv(p * p);
  transpose(0, n, p, fromSlopes, fromT.data());
  matMul(p, n, p, fromT.data(), fromSlopes, cross.data());
  if (invertMatrix(p, cross.data(), crossInv.data()) != 0) {
    return LeastSquaresFit::SingularCrossProduct;
  }
  std::vector<double> projector(static_cast<std::size_t>(p) * n);
  matMul(p, p, n, crossInv.data(), fromT.data(), projector.data());
  double* matrix = block;
  double* vector = block + p * p;
  matMul(p, n, p, projector.data(), toSlopes, matrix);
  std::vector<double> shift(p), xInv(p * p), v(p);
  matMul(p, n, 1, projector.data(), r.data(), shift.data());
  if (invertMatrix(p, matrix, xInv.data()) != 0) return LeastSquaresFit::SingularX;
  matMul(p, p, 1, xInv.data(), shift.data(), v.data());
  if (parameterization == 1 || parameterization == 4) {
    std::copy(xInv.begin(), xInv.end(), matrix);
  }
  for (int k = 0; k < p; ++k) vector[k] = -v[k];
  return LeastSquaresFit::Ok;
}
