// Response kernels: the item responses of the compensatory three-parameter logistic model for
// a block of theta points at once, with the sums over items that the Model 3 and Model 4
// criteria need, vectorised over the points.
//
// For item j and point p: z = d_j + a_j' theta*_p with theta* = A theta + b given per point,
// and P, P', P'' as logisticResponse() gives them (flat outside [-20, 20]). P is computed with
// the same operations in the same order as logisticResponse(), and its exponential is the C
// library's exp computed in vector registers (same table, polynomial and roundings), so P is
// the same bit for bit; where a check at first use finds the library's exp differs, each lane
// calls std::exp instead. The variant is chosen at run time for the processor (AVX2, AVX-512,
// or a portable path). Blocks hold PointBlocks::kBlock points; arrays "x kBlock" are row by
// row. The kernels add to their outputs; the caller clears them. Thread-safe.
#pragma once

#include <cstdint>

struct ItemBlock {
  int d = 0;
  std::int64_t items = 0;
  const double* intercepts = nullptr;     // items
  const double* guessing = nullptr;       // items
  const double* slopes = nullptr;         // items x d
  const double* slopeProducts = nullptr;  // items x d(d+1)/2: a_jk a_jl for k <= l, row by row
  const double* thetaStar = nullptr;      // d x kBlock: A theta + b
};

// exp(x) for count values of x in [-20, 20], computed in vector registers.
void expBlock(const double* x, double* out, int count);
// Whether expBlock() gave std::exp's bits in the check at first use; the kernels use it only
// then, and call std::exp lane by lane otherwise.
bool vectorExpIsExact();

// probabilities (items x kBlock) = P_j at every point.
void responseBlock(const ItemBlock& in, double* probabilities);

// Model 4, with targets y (items x kBlock) and r = y - P:
//   squares += sum_j r^2;  order >= 1: e_k += sum_j r P' a_jk;
//   order 2: c_kl += sum_j (P'^2 - r P'') a_jk a_jl (packed k <= l).
void itemSurfaceBlock(int order, const ItemBlock& in, const double* targets, double* squares,
                      double* e, double* c);

// Model 3: total += sum_j P;  order >= 1: g_k += sum_j P' a_jk;
//   order 2: s_kl += sum_j P'' a_jk a_jl (packed k <= l).
void testSurfaceBlock(int order, const ItemBlock& in, double* total, double* g, double* s);
