// Item diagnostics of a linked pair: each common item's transformed From parameters beside the
// To ones, its share of the criterion, and how far its response is from the To item's.
//
// With the fitted theta_From = A theta_To + b, a From item (a, d) becomes (A'a, d + a'b) on the
// To scale (a partial credit d_k: d_k + k a'b). A polytomous item's response differences are
// those of its category probabilities; for Model 3 shares, of its expected score. Over the run's points, with the run's weights w_i normalised to sum 1, an item's
// RMSD is sqrt(sum_i w_i (P_To(theta_i) - P_From(A theta_i + b))^2) and its largest difference
// the largest absolute value of that difference. Shares sum to the criterion:
//   Model 1: the item's squared parameter residuals over (d + 1) J, with unscaled items;
//   Model 3: sum_i w_i R_i r_ij / N, where r_ij is the item's response difference and R_i the
//            test surface difference (sum over j of r_ij), so that sum_j share_j = F;
//   Model 4: sum_i w_i r_ij^2 / (N J), the item's own term of F.
#pragma once

#include <functional>
#include <vector>

#include "diagnostics/pair_data.h"
#include "run/pair_outcome.h"

// a: A row by row (d x d), b: d values. An item is flagged when its RMSD is above cutoff.
// stop is polled every few thousand points; when it answers true the rows are left empty.
std::vector<ItemDiagnostic> diagnoseItems(const PairData& data, const std::vector<double>& a,
                                          const std::vector<double>& b, double cutoff,
                                          const std::function<bool()>& stop = {});
