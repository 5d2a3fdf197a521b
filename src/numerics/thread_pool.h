// ThreadPool: a fixed set of threads, started once and kept, that runs numbered tasks.
//
// run(count, task) calls task(i, thread) for every i in [0, count) on the pool's threads and
// on the calling thread (thread 0), and returns when all calls have returned. Which thread
// takes which task varies from call to call; callers that need results independent of the
// thread count give each task its own output and combine the outputs in task order. Tasks must
// not throw. run() is called from one thread at a time.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

class ThreadPool {
 public:
  using Task = std::function<void(int task, int thread)>;

  // threads: threads taking part in run(), the caller included; 0 means one per core.
  explicit ThreadPool(int threads);
  ~ThreadPool();
  ThreadPool(const ThreadPool&) = delete;
  ThreadPool& operator=(const ThreadPool&) = delete;

  int threadCount() const { return static_cast<int>(workers_.size()) + 1; }
  void run(int count, const Task& task);

  // Processor cores that this process may use (at least 1).
  static int coreCount();

 private:
  void workLoop(int thread);
  void drain(int thread);

  std::vector<std::thread> workers_;
  std::mutex mutex_;
  std::condition_variable wake_;
  std::condition_variable finished_;
  const Task* task_ = nullptr;
  int count_ = 0;
  std::atomic<int> next_{0};
  int running_ = 0;  // workers still busy with the current generation
  std::uint64_t generation_ = 0;
  bool quit_ = false;
};
