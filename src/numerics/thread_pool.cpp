#include "numerics/thread_pool.h"

#include <sched.h>

#include <chrono>
#include <system_error>

namespace {

// How long a thread spins before it sleeps: the evaluations of a search follow each other
// within microseconds, while waking a sleeping thread can take a tenth of a millisecond.
constexpr auto kSpinTime = std::chrono::microseconds(200);

void pause() {
#if defined(__x86_64__) || defined(__i386__)
  __builtin_ia32_pause();
#endif
}

// Spins until done() or kSpinTime has passed; returns done().
template <class Done>
bool spinUntil(Done done) {
  const auto end = std::chrono::steady_clock::now() + kSpinTime;
  for (;;) {
    for (int i = 0; i < 64; ++i) {
      if (done()) return true;
      pause();
    }
    if (std::chrono::steady_clock::now() >= end) return done();
  }
}

}  // namespace

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
    published_.fetch_add(1, std::memory_order_release);  // ends the workers' spinning
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
  std::uint32_t round = 0;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    round = ++round_;
    task_ = &task;
    count_ = count;
    completed_.store(0, std::memory_order_relaxed);
    next_.store(static_cast<std::uint64_t>(round) << 32, std::memory_order_release);
    published_.store(round, std::memory_order_release);
  }
  wake_.notify_all();  // for the workers that no longer spin
  drain(round, count, task, 0);
  // Only tasks that a worker has taken can still be running; they end soon.
  if (spinUntil([&] { return completed_.load(std::memory_order_acquire) == count; })) return;
  std::unique_lock<std::mutex> lock(mutex_);
  finished_.wait(lock, [&] { return completed_.load(std::memory_order_acquire) == count; });
}

void ThreadPool::drain(std::uint32_t round, int count, const Task& task, int thread) {
  std::uint64_t next = next_.load(std::memory_order_acquire);
  for (;;) {
    if (static_cast<std::uint32_t>(next >> 32) != round ||
        static_cast<int>(next & 0xffffffffu) >= count) {
      return;
    }
    if (!next_.compare_exchange_weak(next, next + 1, std::memory_order_acq_rel)) continue;
    task(static_cast<int>(next & 0xffffffffu), thread);
    if (completed_.fetch_add(1, std::memory_order_acq_rel) + 1 == count) {
      std::lock_guard<std::mutex> lock(mutex_);
      finished_.notify_one();
    }
    next = next_.load(std::memory_order_acquire);
  }
}

void ThreadPool::workLoop(int thread) {
  std::uint32_t seen = 0;
  for (;;) {
    const Task* task = nullptr;
    int count = 0;
    spinUntil([&] { return published_.load(std::memory_order_acquire) != seen; });
    {
      std::unique_lock<std::mutex> lock(mutex_);
      wake_.wait(lock, [&] { return quit_ || round_ != seen; });
      if (quit_) return;
      seen = round_;
      task = task_;
      count = count_;
    }
    drain(seen, count, *task, thread);
  }
}
