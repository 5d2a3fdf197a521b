#include "numerics/matrix.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

TEST(InvertMatrix, DiagonalAndGeneralMatricesInvert) {
  std::vector<double> b(4);
  ASSERT_EQ(invertMatrix(2, std::vector<double>{2, 0, 0, 4}.data(), b.data()), 0);
  EXPECT_DOUBLE_EQ(b[0], 0.5);
  EXPECT_NEAR(b[1], 0.0, 1e-15);
  EXPECT_NEAR(b[2], 0.0, 1e-15);
  EXPECT_DOUBLE_EQ(b[3], 0.25);

  double one = 5.0, inverse = 0.0;
  ASSERT_EQ(invertMatrix(1, &one, &inverse), 0);
  EXPECT_DOUBLE_EQ(inverse, 0.2);

  // Not symmetric, so a transposed result would show.
  const std::vector<double> a = {4, 1, 2, 0, 3, -1, 1, 2, 5};
  std::vector<double> inv(9), product(9);
  ASSERT_EQ(invertMatrix(3, a.data(), inv.data()), 0);
  matMul(3, 3, 3, a.data(), inv.data(), product.data());
  for (int i = 0; i < 9; ++i) EXPECT_NEAR(product[i], i % 4 == 0 ? 1.0 : 0.0, 1e-14) << i;
}

TEST(InvertMatrix, SmallColumnNormCountsAsSingularWhateverTheScale) {
  std::vector<double> b(4, -7.0);
  // 0.000001 is below the absolute threshold 2 * 2 * 0.00001, though the matrix is invertible.
  EXPECT_EQ(invertMatrix(2, std::vector<double>{0.000001, 0, 0, 1}.data(), b.data()), 1);
  double tiny = 0.000001, out = 0.0;
  EXPECT_EQ(invertMatrix(1, &tiny, &out), 1);
  EXPECT_EQ(invertMatrix(2, std::vector<double>{3, 3, 1, 1}.data(), b.data()), 1);
  // Either side of the threshold 4e-5.
  EXPECT_EQ(invertMatrix(2, std::vector<double>{5e-5, 0, 0, 1}.data(), b.data()), 0);
  EXPECT_EQ(invertMatrix(2, std::vector<double>{3e-5, 0, 0, 1}.data(), b.data()), 1);
}

TEST(QrDecompose, NonFiniteEntriesFail) {
  std::vector<double> q(4), r(4);
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  EXPECT_EQ(qrDecompose(2, 2, std::vector<double>{1, 0, nan, 1}.data(), q.data(), r.data()), 1);
  EXPECT_EQ(qrDecompose(2, 2, std::vector<double>{inf, 0, 0, 1}.data(), q.data(), r.data()), 1);
  // An infinite norm passes any threshold; it must still fail.
  EXPECT_EQ(qrDecompose(1, 1, &inf, q.data(), r.data()), 1);
}

TEST(QrDecompose, TallMatrixFactorsIntoOrthonormalQAndTriangularR) {
  const std::vector<double> a = {1, 2, 3, 4, 5, 7};  // 3 x 2
  std::vector<double> q(6), r(4), qt(6), qtq(4), qr(6);
  ASSERT_EQ(qrDecompose(3, 2, a.data(), q.data(), r.data()), 0);
  EXPECT_NEAR(r[2], 0.0, 1e-14);
  transpose(0, 3, 2, q.data(), qt.data());
  matMul(2, 3, 2, qt.data(), q.data(), qtq.data());
  for (int i = 0; i < 4; ++i) EXPECT_NEAR(qtq[i], i % 3 == 0 ? 1.0 : 0.0, 1e-14);
  matMul(3, 2, 2, q.data(), r.data(), qr.data());
  for (int i = 0; i < 6; ++i) EXPECT_NEAR(qr[i], a[i], 1e-13);
}

TEST(Transpose, CopyOfRectangularAndInPlaceSquare) {
  const std::vector<double> s = {1, 2, 3, 4, 5, 6};  // 2 x 3
  std::vector<double> d(6);
  transpose(0, 2, 3, s.data(), d.data());
  EXPECT_EQ(d, (std::vector<double>{1, 4, 2, 5, 3, 6}));

  std::vector<double> square = {1, 2, 3, 4, 5, 6, 7, 8, 9};
  transpose(1, 3, 3, nullptr, square.data());
  EXPECT_EQ(square, (std::vector<double>{1, 4, 7, 2, 5, 8, 3, 6, 9}));
}

TEST(DotProduct, NormAndSum) {
  const double v[] = {3, 4};
  const double w[] = {-1, 2};
  EXPECT_EQ(dotProduct(0, 2, v, v), 5.0);
  EXPECT_EQ(dotProduct(1, 2, v, v), 25.0);
  EXPECT_EQ(dotProduct(1, 2, v, w), 5.0);
}

TEST(MatMul, AccumulatesInExtendedPrecision) {
  // In double, 1e16 + 1 rounds back to 1e16 and the 1 is lost.
  const double a[] = {1e16, 1, -1e16};
  const double ones[] = {1, 1, 1};
  double p = 0.0;
  matMul(1, 3, 1, a, ones, &p);
  EXPECT_EQ(p, 1.0);

  double untouched = 42.0;
  matMul(0, 3, 1, a, ones, &untouched);
  EXPECT_EQ(untouched, 42.0);
}

TEST(ScaledSum, ZeroFactorSkipsItsArray) {
  const double x[] = {1, 2};
  const double nan[] = {std::nan(""), std::nan("")};
  double z[2];
  scaledSum(2, 2.0, x, 0.0, nan, z);
  EXPECT_EQ(z[0], 2.0);
  EXPECT_EQ(z[1], 4.0);
  scaledSum(2, -0.0, nullptr, 0.0, nullptr, z);
  EXPECT_EQ(z[0], 0.0);
  EXPECT_EQ(z[1], 0.0);

  double inPlace[] = {1, 2};
  scaledSum(2, 1.0, inPlace, -0.5, x, inPlace);
  EXPECT_EQ(inPlace[0], 0.5);
  EXPECT_EQ(inPlace[1], 1.0);
}

TEST(BackSubstitute, SolvesUpperTriangularIgnoringLowerPart) {
  // The 99s below the diagonal must not be read into the solution.
  const double u[] = {2, 1, -1, 99, 4, 2, 99, 99, 0.5};
  const double r[] = {2 + 2 - 3, 8 + 6, 1.5};
  double x[3];
  backSubstitute(3, u, r, x);
  EXPECT_DOUBLE_EQ(x[0], 1.0);
  EXPECT_DOUBLE_EQ(x[1], 2.0);
  EXPECT_DOUBLE_EQ(x[2], 3.0);
}
