// Dense matrix helpers for small matrices (at most 25 x 25, and item-by-dimension arrays).
//
// A matrix is a contiguous array of doubles stored row by row; its sizes travel as separate
// arguments. Outputs go into caller-owned arrays. Sums of products are accumulated in long
// double and rounded to double once, when stored. The inverse goes through a classical
// Gram-Schmidt QR decomposition whose singularity threshold is absolute.
#pragma once

// P (rows x cols) = A (rows x inner) * B (inner x cols). Nothing is written when rows < 1.
void matMul(int rows, int inner, int cols, const double* A, const double* B, double* P);

// z = a*x + b*y element by element. A term with a zero factor is not computed and its array
// is not read; both zero gives z = 0. z may be x or y.
void scaledSum(int count, double a, const double* x, double b, const double* y, double* z);

// x solving U x = r for an upper-triangular n x n U (the diagonal is not tested).
void backSubstitute(int n, const double* U, const double* r, double* x);

// A = Q R by classical Gram-Schmidt. Returns 1 when a column's residual norm is below
// rows * cols * 0.00001 (or not finite), else 0.
int qrDecompose(int rows, int cols, const double* A, double* Q, double* R);

// flag 0: D (cols x rows) = S^T for S of rows x cols. flag 1: D (rows x rows) is transposed in
// place and S is not used.
void transpose(int flag, int rows, int cols, const double* S, double* D);

// flag 1: sum of x_i y_i; flag 0: its square root (the norm when x and y are the same vector).
double dotProduct(int flag, int count, const double* x, const double* y);

// B = A^-1 for n x n A. Returns 1 when A counts as singular, else 0.
int invertMatrix(int n, const double* A, double* B);
