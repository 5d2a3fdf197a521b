#include "linking/least_squares_fit.h"

#include <algorithm>
#include <cstddef>
#include <vector>

#include "numerics/matrix.h"

namespace {

// The fitted X (into block's matrix) and the shift m = (B'B)^-1 B' r of the intercept rows
// with design B (rows x p), then the block for the parameterization.
LeastSquaresFit finishFit(int n, int p, int parameterization, const double* toSlopes,
                          const double* fromSlopes, int rows, const double* design,
                          const double* r, double* block) {
  auto projectorOf = [p](int count, const double* x, std::vector<double>& projector) {
    std::vector<double> xT(static_cast<std::size_t>(p) * count), cross(p * p), crossInv(p * p);
    transpose(0, count, p, x, xT.data());
    matMul(p, count, p, xT.data(), x, cross.data());
    if (invertMatrix(p, cross.data(), crossInv.data()) != 0) return false;
    projector.resize(static_cast<std::size_t>(p) * count);
    matMul(p, p, count, crossInv.data(), xT.data(), projector.data());
    return true;
  };
  std::vector<double> projector, rowProjector;
  if (!projectorOf(n, fromSlopes, projector)) return LeastSquaresFit::SingularCrossProduct;
  const bool sameRows = design == fromSlopes && rows == n;
  if (!sameRows && !projectorOf(rows, design, rowProjector)) {
    return LeastSquaresFit::SingularCrossProduct;
  }
  double* matrix = block;
  double* vector = block + p * p;
  matMul(p, n, p, projector.data(), toSlopes, matrix);
  std::vector<double> shift(p), xInv(p * p), v(p);
  matMul(p, rows, 1, sameRows ? projector.data() : rowProjector.data(), r, shift.data());
  if (invertMatrix(p, matrix, xInv.data()) != 0) return LeastSquaresFit::SingularX;
  matMul(p, p, 1, xInv.data(), shift.data(), v.data());
  if (parameterization == 1 || parameterization == 4) {
    std::copy(xInv.begin(), xInv.end(), matrix);
  }
  for (int k = 0; k < p; ++k) vector[k] = -v[k];
  return LeastSquaresFit::Ok;
}

}  // namespace

LeastSquaresFit fitLeastSquares(int n, int p, int parameterization, const double* toSlopes,
                                const double* toIntercepts, const double* fromSlopes,
                                const double* fromIntercepts, double* block) {
  std::vector<double> r(n);
  scaledSum(n, 1.0, toIntercepts, -1.0, fromIntercepts, r.data());
  return finishFit(n, p, parameterization, toSlopes, fromSlopes, n, fromSlopes, r.data(), block);
}

InterceptRows interceptRows(std::size_t items, const double* intercepts,
                            const ItemCategories& categories) {
  InterceptRows rows;
  for (std::size_t j = 0; j < items; ++j) {
    const bool partialCredit = categories.kind(j) == ItemKind::PartialCredit;
    const int count = categories.count(j);
    for (int k = 1; k < count; ++k) {
      rows.item.push_back(j);
      rows.factor.push_back(partialCredit ? static_cast<double>(k) : 1.0);
      rows.values.push_back(k == 1 ? intercepts[j] : categories.restOf(j)[k - 2]);
    }
  }
  return rows;
}

LeastSquaresFit fitLeastSquaresRows(int n, int p, int parameterization, const double* toSlopes,
                                    const double* fromSlopes, const InterceptRows& to,
                                    const InterceptRows& from, double* block) {
  const int rows = static_cast<int>(from.values.size());
  std::vector<double> r(rows), design(static_cast<std::size_t>(rows) * p);
  scaledSum(rows, 1.0, to.values.data(), -1.0, from.values.data(), r.data());
  for (int i = 0; i < rows; ++i) {
    const double* a = fromSlopes + from.item[i] * p;
    for (int k = 0; k < p; ++k) design[i * p + k] = from.factor[i] * a[k];
  }
  return finishFit(n, p, parameterization, toSlopes, fromSlopes, rows, design.data(), r.data(),
                   block);
}
