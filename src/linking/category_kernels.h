// Category kernels: the responses of polytomous items (graded and partial credit, see
// category_response.h) for a block of theta points at once, with the sums over items that the
// Model 3 and Model 4 criteria need, vectorised over the points like the response kernels.
//
// Each item's category probabilities are category_response.h's to the bit: the graded
// boundaries are the response kernels' logistic with c = 0, the partial credit exponentials
// the same vector exp (lane by lane std::exp where it is not the library's). Per point the
// item enters the criteria through s = a'theta* alone, so its sums factor through its slopes
// as a dichotomous item's do. Rows "x kBlock" are row by row; the kernels add to their outputs.
#pragma once

#include <cstddef>
#include <cstdint>

struct CategoryBlock {
  int d = 0;
  std::int64_t items = 0;
  const int* counts = nullptr;                // categories m per item
  const std::uint8_t* partialCredit = nullptr;  // per item: 1 partial credit, 0 graded
  const std::size_t* starts = nullptr;        // per item: its d_1 .. d_(m-1) in intercepts
  const double* intercepts = nullptr;
  const double* slopes = nullptr;             // items x d
  const double* slopeProducts = nullptr;      // items x d(d+1)/2
  const double* thetaStar = nullptr;          // d x kBlock
};

// probabilities (sum of m x kBlock) = P_jk at every point, item by item, category by category.
void categoryResponseBlock(const CategoryBlock& in, double* probabilities);

// Model 4, with targets y (rows as above) and r_k = y_k - P_k:
//   squares += sum_jk r^2;  order >= 1: e_k += sum_j (sum_k r P'_k) a_j;
//   order 2: c_kl += sum_j (sum_k P'_k^2 - r P''_k) a_jk a_jl (packed).
void categoryItemSurfaceBlock(int order, const CategoryBlock& in, const double* targets,
                              double* squares, double* e, double* c);

// Model 3: total += sum_j E_j;  g += sum_j E'_j a_j;  s += sum_j E''_j a_j a_j' (packed).
void categoryTestSurfaceBlock(int order, const CategoryBlock& in, double* total, double* g,
                              double* s);
