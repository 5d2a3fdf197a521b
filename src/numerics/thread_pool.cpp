#include "numerics/thread_pool.h"

#include <sched.h>

ThreadPool::ThreadPool(int threads) {
  if (threads <= 0) threads = coreCount();
  for (int t = 1; t < threads; ++t) {
    try {
      workers_.emplace_back([this, t] { workLoop(t); });
    } catch (const std::system_error&) {
      break;  // fewer threads than asked still compute the same results
    }
  }
}

ThreadPool::~ThreadPool() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    quit_ = true;
  }
  wake_.notify_all();
  for (std::thread& worker : workers_) worker.join();
}

int ThreadPool::coreCount() {
  cpu_set_t set;
  if (sched_getaffinity(0, sizeof set, &set) == 0) {
    const int count = CPU_COUNT(&set);
    if (count > 0) return count;
  }
  const unsigned hardware = std::thread::hardware_concurrency();
  return hardware > 0 ? static_cast<int>(hardware) : 1;
}

void ThreadPool::run(int count, const Task& task) {
  if (count <= 0) return;
  if (workers_.empty() || count == 1) {
    for (int i = 0; i < count; ++i) task(i, 0);
    return;
  }
  {
    std::lock_guard<std::mutex> lock(mutex_);
    task_ = &task;
    count_ = count;
    next_.store(0, std::memory_order_relaxed);
    running_ = static_cast<int>(workers_.size());
    ++generation_;
  }
  wake_.notify_all();
  drain(0);
  std::unique_lock<std::mutex> lock(mutex_);
  finished_.wait(lock, [this] { return running_ == 0; });
  task_ = nullptr;
}

void ThreadPool::drain(int thread) {
  for (;;) {
    const int i = next_.fetch_add(1, std::memory_order_relaxed);
    if (i >= count_) return;
    (*task_)(i, thread);
  }
}

void ThreadPool::workLoop(int thread) {
  std::uint64_t seen = 0;
  for (;;) {
    {
      std::unique_lock<std::mutex> lock(mutex_);
      wake_.wait(lock, [&] { return quit_ || generation_ != seen; });
      if (quit_) return;
      seen = generation_;
    }
    drain(thread);
    std::lock_guard<std::mutex> lock(mutex_);
    if (--running_ == 0) finished_.notify_one();
  }
}
