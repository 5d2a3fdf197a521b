#include "numerics/matrix.h"

#include <cmath>
#include <cstdint>
#include <vector>

namespace {

// Sum of x[i*xStride] * y[i*yStride] over count terms, in extended precision.
long double sumOfProducts(int count, const double* x, std::int64_t xStride, const double* y,
                          std::int64_t yStride) {
  long double sum = 0.0L;
  for (int i = 0; i < count; ++i) {
    sum += static_cast<long double>(x[i * xStride]) * static_cast<long double>(y[i * yStride]);
  }
  return sum;
}

}  // namespace

void matMul(int rows, int inner, int cols, const double* A, const double* B, double* P) {
  if (rows < 1) return;
  for (std::int64_t i = 0; i < rows; ++i) {
    for (std::int64_t j = 0; j < cols; ++j) {
      P[i * cols + j] = static_cast<double>(sumOfProducts(inner, A + i * inner, 1, B + j, cols));
    }
  }
}

void scaledSum(int count, double a, const double* x, double b, const double* y, double* z) {
  const bool useX = a != 0.0;
  const bool useY = b != 0.0;
  for (int i = 0; i < count; ++i) {
    long double sum = 0.0L;
    if (useX) sum += static_cast<long double>(a) * x[i];
    if (useY) sum += static_cast<long double>(b) * y[i];
    z[i] = static_cast<double>(sum);
  }
}

void backSubstitute(int n, const double* U, const double* r, double* x) {
  for (std::int64_t i = n - 1; i >= 0; --i) {
    long double sum = 0.0L;
    for (std::int64_t j = n - 1; j > i; --j) {
      sum += static_cast<long double>(U[i * n + j]) * x[j];
    }
    x[i] = static_cast<double>((r[i] - sum) / U[i * n + i]);
  }
}

int qrDecompose(int rows, int cols, const double* A, double* Q, double* R) {
  if (rows < 1 || cols < 1) return 1;
  // Absolute on purpose: the same threshold whatever the scale of A.
  const double threshold = static_cast<double>(static_cast<std::int64_t>(rows) * cols) * 0.00001;

  // Columns of A and the orthonormal vectors, each stored contiguously (A^T and Q^T).
  std::vector<double> columns(static_cast<std::size_t>(rows) * cols);
  std::vector<double> basis(static_cast<std::size_t>(rows) * cols);
  std::vector<double> coefficients(cols);
  transpose(0, rows, cols, A, columns.data());

  for (std::int64_t i = 0; i < cols; ++i) {
    const double* a = columns.data() + i * rows;
    // Classical Gram-Schmidt: every projection uses the original column.
    for (std::int64_t j = 0; j < i; ++j) {
      coefficients[j] = dotProduct(1, rows, basis.data() + j * rows, a);
    }
    double* w = basis.data() + i * rows;
    for (std::int64_t k = 0; k < rows; ++k) {
      long double projection = 0.0L;
      for (std::int64_t j = 0; j < i; ++j) {
        projection += static_cast<long double>(coefficients[j]) * basis[j * rows + k];
      }
      w[k] = static_cast<double>(a[k] - projection);
    }
    const double norm = dotProduct(0, rows, w, w);
    if (!(norm >= threshold) || !std::isfinite(norm)) return 1;
    for (std::int64_t k = 0; k < rows; ++k) w[k] /= norm;
  }

  transpose(0, cols, rows, basis.data(), Q);
  matMul(cols, rows, cols, basis.data(), A, R);
  return 0;
}

void transpose(int flag, int rows, int cols, const double* S, double* D) {
  if (flag == 1) {
    for (std::int64_t i = 0; i < rows; ++i) {
      for (std::int64_t j = i + 1; j < rows; ++j) {
        const double t = D[i * rows + j];
        D[i * rows + j] = D[j * rows + i];
        D[j * rows + i] = t;
      }
    }
    return;
  }
  for (std::int64_t i = 0; i < rows; ++i) {
    for (std::int64_t j = 0; j < cols; ++j) D[j * rows + i] = S[i * cols + j];
  }
}

double dotProduct(int flag, int count, const double* x, const double* y) {
  const long double sum = sumOfProducts(count, x, 1, y, 1);
  if (flag == 0) return static_cast<double>(std::sqrt(sum));
  return static_cast<double>(sum);
}

int invertMatrix(int n, const double* A, double* B) {
  if (n < 1) return 1;
  const std::size_t size = static_cast<std::size_t>(n) * n;
  std::vector<double> Q(size);
  std::vector<double> R(size);
  if (qrDecompose(n, n, A, Q.data(), R.data()) != 0) return 1;
  // Row i of B solves R x = row i of Q, so B^T = R^-1 Q^T = A^-1.
  for (std::int64_t i = 0; i < n; ++i) {
    backSubstitute(n, R.data(), Q.data() + i * n, B + i * n);
  }
  transpose(1, n, n, nullptr, B);
  return 0;
}
