// PointBlocks: the theta points of a run, handed out in fixed blocks of kBlock points.
//
// The points are either rows of a stored array (an empirical theta file, or a grid small
// enough to keep) or the full grid of G^d points over [begin, begin + (G-1) step] per
// coordinate, last coordinate fastest, built from the point's index when a block is loaded.
// Both give the same coordinates bit for bit. A loaded block is laid out coordinate by
// coordinate (d rows of kBlock values); lanes past the last point are 0. Read-only after set,
// so any number of threads may load blocks at once.
#pragma once

#include <cstdint>

class PointBlocks {
 public:
  static constexpr int kBlock = 64;

  // Rows of d coordinates; the array must outlive this object's use.
  void setStored(const double* points, std::int64_t count, int d);
  void setGrid(int gridPoints, double begin, double step, std::int64_t count, int d);

  std::int64_t pointCount() const { return count_; }
  std::int64_t blockCount() const { return (count_ + kBlock - 1) / kBlock; }
  int dimension() const { return d_; }

  // Fills theta (d x kBlock) with block b; returns its number of points.
  int load(std::int64_t b, double* theta) const;
  // Coordinates of point i (d values), as load() gives them.
  void point(std::int64_t i, double* theta) const;

  // Coordinate k of grid index i: begin + step q_k, q the base-G digits of i, q_0 first.
  static void gridPoint(std::int64_t i, int gridPoints, double begin, double step, int d,
                        double* theta);

 private:
  const double* stored_ = nullptr;
  std::int64_t count_ = 0;
  int d_ = 0;
  int grid_ = 0;
  double begin_ = 0.0;
  double step_ = 0.0;
};
