#include "numerics/point_blocks.h"

#include <gtest/gtest.h>

#include <vector>

// A grid built from the index gives the stored grid's coordinates bit for bit, across block
// boundaries and in the partial last block, with zeros past the last point.
TEST(PointBlocks, GridFromIndexMatchesTheStoredGrid) {
  for (int d : {1, 2, 3}) {
    const int g = 9;
    std::int64_t count = 1;
    for (int k = 0; k < d; ++k) count *= g;
    const double begin = -4.0, step = 8.0 / (g - 1);
    std::vector<double> stored(count * d);
    for (std::int64_t i = 0; i < count; ++i) {
      PointBlocks::gridPoint(i, g, begin, step, d, &stored[i * d]);
    }
    PointBlocks fromIndex, fromArray;
    fromIndex.setGrid(g, begin, step, count, d);
    fromArray.setStored(stored.data(), count, d);
    ASSERT_EQ(fromIndex.blockCount(), (count + PointBlocks::kBlock - 1) / PointBlocks::kBlock);
    std::vector<double> a(d * PointBlocks::kBlock), b(a.size());
    for (std::int64_t block = 0; block < fromIndex.blockCount(); ++block) {
      const int n = fromIndex.load(block, a.data());
      EXPECT_EQ(fromArray.load(block, b.data()), n);
      EXPECT_EQ(a, b) << "d " << d << " block " << block;
      for (int p = n; p < PointBlocks::kBlock; ++p) EXPECT_EQ(a[p], 0.0);
    }
    EXPECT_EQ(stored[(count - 1) * d], 4.0);  // last point is the range end
  }
}
