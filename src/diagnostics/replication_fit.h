// ReplicationFit: the pair's link again, on a chosen list of its common items (an item may
// appear more than once), searched from a given (A, b) with the run's search settings.
//
// Models 3 and 4 minimise the criterion with the structured evaluation on one thread (the
// replications themselves are spread over threads): full Newton steps while they settle,
// else the engine's search; Model 1 is its closed-form least-squares fit on the unscaled
// items. The result is the fitted (A, b) of theta_From = A theta_To + b.
#pragma once

#include <vector>

#include "diagnostics/pair_data.h"
#include "linking/structured_objective.h"
#include "numerics/large_buffer.h"
#include "numerics/search_minimizer.h"

class ReplicationFit : private SearchMinimizer {
 public:
  explicit ReplicationFit(const PairData& data);

  // Links the items at the given indices (0-based, into the pair's items) from start (A row by
  // row, then b); false when the search or the fit fails. result: d(d+1) values.
  bool fit(const std::vector<int>& chosen, const std::vector<double>& start,
           std::vector<double>& result);

 private:
  void evaluate(int order, double* out) override;
  bool newtonFromStart(std::vector<double>& x);
  bool computeTargets(const std::vector<int>& chosen);
  bool gatherItemTargets(const std::vector<int>& chosen);
  bool fitLeastSquaresItems(const std::vector<int>& chosen, std::vector<double>& result);
  void select(const ItemSet& items, const std::vector<int>& chosen, ItemSet& out) const;

  const PairData& data_;
  StructuredObjective structured_;
  ItemSet to_, from_;
  std::vector<double> weights_;
  LargeBuffer<double> targets_, allTargets_;  // allTargets_: Model 4, every To item
};
