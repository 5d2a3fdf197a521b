// The Model 1 solution for items held in memory: the least-squares fit of the From slopes and
// intercepts to the To ones (n items, p dimensions), as LeastSquaresLinker describes it.
#pragma once

#include <cstddef>
#include <vector>

#include "data/item_categories.h"

enum class LeastSquaresFit { Ok, SingularCrossProduct, SingularX };

// Writes the transformation block (p x p matrix, then p vector) for the parameterization;
// leaves it partly written when the fit fails.
LeastSquaresFit fitLeastSquares(int n, int p, int parameterization, const double* toSlopes,
                                const double* toIntercepts, const double* fromSlopes,
                                const double* fromIntercepts, double* block);

// The intercept rows of a fit with polytomous items: one per intercept of every item, in item
// order (d_1, then d_2 ..). A row moves under the transformation by factor times its item's
// shift: a dichotomous or graded intercept by 1, a partial credit d_k by k.
struct InterceptRows {
  std::vector<std::size_t> item;
  std::vector<double> factor;
  std::vector<double> values;
};

InterceptRows interceptRows(std::size_t items, const double* intercepts,
                            const ItemCategories& categories);

// The same fit with one least-squares row per intercept: the slopes fit X on the items as
// above, the shift on the rows of from and to (which must have the same items and factors).
LeastSquaresFit fitLeastSquaresRows(int n, int p, int parameterization, const double* toSlopes,
                                    const double* fromSlopes, const InterceptRows& to,
                                    const InterceptRows& from, double* block);
