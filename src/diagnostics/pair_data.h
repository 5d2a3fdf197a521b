// PairData: one linked pair's common items and theta points in memory, for the diagnostics.
//
// Items are read as the search of Models 3 and 4 reads them (normal-metric files scaled by
// 1.702); the run's excluded records are left out as the link left them out. Points are the
// run's grid (built from the point index, not stored) or its empirical theta points.
#pragma once

#include <cstdint>
#include <vector>

#include "data/item_categories.h"
#include "linking/run_settings.h"
#include "numerics/point_blocks.h"

struct ItemSet {
  std::vector<double> slopes;  // items x d
  std::vector<double> intercepts;
  std::vector<double> asymptotes;
  ItemCategories categories;  // one entry per item
};

struct PairData {
  int d = 0;
  int model = 0;
  int parameterization = 0;
  bool weighted = false;
  std::int64_t items = 0;
  std::vector<long long> positions;  // each item's record position in the To file
  ItemSet to, from;
  // Model 1 only: the items as Model 1 reads them (unscaled), for its shares.
  ItemSet toUnscaled, fromUnscaled;

  // The search settings of the run (searchMethod 0: the built-in ones).
  int searchMethod = 0;
  double tolerance = 0.0, stepLength = 0.0;
  int directionChanges = 0, steps = 0;

  std::vector<double> storedPoints;  // empirical points, N x d (empty for a grid)
  PointBlocks points;
  double lowest = 0.0, highest = 0.0;  // of every coordinate of every point

  // Point i's coordinates into theta (d values).
  void point(std::int64_t i, double* theta) const;

 private:
  friend bool readPairData(RunSettings& s, PairData& data);
  int grid_ = 0;
  double begin_ = 0.0, step_ = 0.0;
};

// Reads the pair that s describes; false (after the reader's message) when a file cannot be
// read. data must not be copied or moved afterwards (its points refer to its own storage).
bool readPairData(RunSettings& s, PairData& data);
