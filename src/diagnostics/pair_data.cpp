#include "diagnostics/pair_data.h"

#include <algorithm>
#include <limits>

#include "linking/data_file_reading.h"

namespace {

bool readItemSet(RunSettings& s, const DataFileSpec& spec, int scaleFlag, ItemSet& set) {
  return readItemArraysShown(s, spec, scaleFlag, static_cast<std::size_t>(s.itemCount),
                             set.slopes, &set.intercepts, &set.asymptotes, &set.categories);
}

}  // namespace

void PairData::point(std::int64_t i, double* theta) const {
  if (grid_ > 1) {
    PointBlocks::gridPoint(i, grid_, begin_, step_, d, theta);
  } else {
    std::copy_n(&storedPoints[static_cast<std::size_t>(i * d)], d, theta);
  }
}

bool readPairData(RunSettings& s, PairData& data) {
  data.d = s.Theta_Dimension;
  data.model = s.Model_Type;
  data.parameterization = s.Parameterization;
  data.weighted = s.Weighing_Method != 0;
  data.items = s.itemCount;
  data.searchMethod = s.Search_Method;
  data.tolerance = s.Tolerance;
  data.stepLength = s.Initial_Step_Length;
  data.directionChanges = s.Number_Change_Direction;
  data.steps = s.Number_Step;

  const std::vector<long long> excluded = excludedRecords(s);
  data.positions.clear();
  auto next = excluded.begin();
  for (long long r = 1; r <= s.recordCount; ++r) {
    if (next != excluded.end() && *next == r) {
      ++next;
    } else {
      data.positions.push_back(r);
    }
  }
  if (!readItemSet(s, s.toFile, 1, data.to) || !readItemSet(s, s.fromFile, 1, data.from)) {
    return false;
  }
  if (data.model == 1 && (!readItemSet(s, s.toFile, 0, data.toUnscaled) ||
                          !readItemSet(s, s.fromFile, 0, data.fromUnscaled))) {
    return false;
  }
  const int d = data.d;
  if (s.Number_Of_Grid > 1) {
    data.grid_ = s.Number_Of_Grid;
    data.begin_ = s.Range_Begin;
    data.step_ = (s.Range_End - s.Range_Begin) / (s.Number_Of_Grid - 1);
    data.points.setGrid(data.grid_, data.begin_, data.step_, s.pointCount, d);
    data.lowest = s.Range_Begin;
    data.highest = data.begin_ + data.step_ * (data.grid_ - 1);
    return true;
  }
  if (!readItemArraysShown(s, s.empiricalFile, 0, static_cast<std::size_t>(s.pointCount),
                           data.storedPoints, nullptr, nullptr)) {
    return false;
  }
  data.points.setStored(data.storedPoints.data(), s.pointCount, d);
  data.lowest = std::numeric_limits<double>::infinity();
  data.highest = -data.lowest;
  for (double x : data.storedPoints) {
    data.lowest = std::min(data.lowest, x);
    data.highest = std::max(data.highest, x);
  }
  return true;
}
