// The Model 1 solution for items held in memory: the least-squares fit of the From slopes and
// intercepts to the To ones (n items, p dimensions), as LeastSquaresLinker describes it.
#pragma once

enum class LeastSquaresFit { Ok, SingularCrossProduct, SingularX };

// Writes the transformation block (p x p matrix, then p vector) for the parameterization;
// leaves it partly written when the fit fails.
LeastSquaresFit fitLeastSquares(int n, int p, int parameterization, const double* toSlopes,
                                const double* toIntercepts, const double* fromSlopes,
                                const double* fromIntercepts, double* block);
