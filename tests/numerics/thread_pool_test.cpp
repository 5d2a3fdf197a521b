#include "numerics/thread_pool.h"

#include <gtest/gtest.h>

#include <atomic>
#include <vector>

// Every task of every round runs exactly once and before run() returns, also when rounds
// follow each other faster than the workers wake.
TEST(ThreadPool, EveryTaskRunsOnceInItsRound) {
  for (int threads : {1, 2, 7}) {
    ThreadPool pool(threads);
    EXPECT_EQ(pool.threadCount(), threads);
    for (int round = 0; round < 500; ++round) {
      const int count = 1 + round % 13;
      std::vector<std::atomic<int>> hits(count);
      pool.run(count, [&](int task, int thread) {
        EXPECT_GE(thread, 0);
        EXPECT_LT(thread, threads);
        hits[task].fetch_add(1);
      });
      for (int i = 0; i < count; ++i) ASSERT_EQ(hits[i].load(), 1) << threads << " " << round;
    }
  }
}
