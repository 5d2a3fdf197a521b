// ThreadPool: a fixed set of threads, started once and kept, that runs numbered tasks.
//
// run(count, task) calls task(i, thread) for every i in [0, count) on the pool's threads and
// on the calling thread (thread 0), and returns when all calls have returned. Which thread
// takes which task varies from call to call; callers that need results independent of the
// thread count give each task its own output and combine the outputs in task order. A worker
// that wakes late finds the tasks taken and does nothing, so a busy machine never makes run()
// wait for a thread that has not started. Threads spin briefly before they sleep, between
// rounds and while run() waits for the last tasks. Tasks must not throw. run() is called from one
// thread at a time.
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
  // Takes and runs tasks of the given round until none is left.
  void drain(std::uint32_t round, int count, const Task& task, int thread);

  std::vector<std::thread> workers_;
  std::mutex mutex_;
  std::condition_variable wake_;
  std::condition_variable finished_;
  // The current round's task and count, read under mutex_.
  const Task* task_ = nullptr;
  int count_ = 0;
  std::uint32_t round_ = 0;
  bool quit_ = false;
  // Round in the upper 32 bits, next task index in the lower: a worker takes a task only of
  // the round it was woken for.
  std::atomic<std::uint64_t> next_{0};
  std::atomic<int> completed_{0};
  // The latest round (or a change at quitting), for threads that spin before they sleep.
  std::atomic<std::uint32_t> published_{0};
};
