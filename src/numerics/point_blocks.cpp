#include "numerics/point_blocks.h"

#include <algorithm>

void PointBlocks::setStored(const double* points, std::int64_t count, int d) {
  stored_ = points;
  count_ = count;
  d_ = d;
  grid_ = 0;
}

void PointBlocks::setGrid(int gridPoints, double begin, double step, std::int64_t count, int d) {
  stored_ = nullptr;
  count_ = count;
  d_ = d;
  grid_ = gridPoints;
  begin_ = begin;
  step_ = step;
}

void PointBlocks::gridPoint(std::int64_t i, int gridPoints, double begin, double step, int d,
                            double* theta) {
  std::int64_t rest = i;
  for (int k = d - 1; k >= 0; --k) {
    theta[k] = begin + step * static_cast<double>(rest % gridPoints);
    rest /= gridPoints;
  }
}

void PointBlocks::point(std::int64_t i, double* theta) const {
  if (stored_ != nullptr) {
    std::copy(stored_ + i * d_, stored_ + (i + 1) * d_, theta);
  } else {
    gridPoint(i, grid_, begin_, step_, d_, theta);
  }
}

int PointBlocks::load(std::int64_t b, double* theta) const {
  const std::int64_t first = b * kBlock;
  const int count = static_cast<int>(std::min<std::int64_t>(kBlock, count_ - first));
  std::fill(theta, theta + static_cast<std::ptrdiff_t>(d_) * kBlock, 0.0);
  if (stored_ != nullptr) {
    for (int p = 0; p < count; ++p) {
      const double* row = stored_ + (first + p) * d_;
      for (int k = 0; k < d_; ++k) theta[k * kBlock + p] = row[k];
    }
    return count;
  }
  // Grid: the digits of the first index, then counted up like an odometer.
  int digits[32];
  std::int64_t rest = first;
  for (int k = d_ - 1; k >= 0; --k) {
    digits[k] = static_cast<int>(rest % grid_);
    rest /= grid_;
  }
  for (int p = 0; p < count; ++p) {
    for (int k = 0; k < d_; ++k) {
      theta[k * kBlock + p] = begin_ + step_ * static_cast<double>(digits[k]);
    }
    for (int k = d_ - 1; k >= 0; --k) {
      if (++digits[k] < grid_) break;
      digits[k] = 0;
    }
  }
  return count;
}
