// RunEvent: a signalled/clear flag shared between the user-interface thread and a worker.
//
// A manual-reset event stays set until reset; an auto-reset event is cleared by the poll that
// finds it set. Polling never waits. Thread-safe: every operation is one atomic access, and
// set() is safe to call from a signal handler (the flag is lock-free).
#pragma once

#include <atomic>

class RunEvent {
 public:
  enum class Reset { Manual, Automatic };

  explicit RunEvent(Reset reset) : reset_(reset) {}
  RunEvent(const RunEvent&) = delete;
  RunEvent& operator=(const RunEvent&) = delete;

  void set() { signalled_.store(true); }
  void reset() { signalled_.store(false); }

  // Zero-wait poll. An automatic event that was set is cleared by this call.
  bool poll() {
    if (reset_ == Reset::Automatic) return signalled_.exchange(false);
    return signalled_.load();
  }

 private:
  Reset reset_;
  std::atomic<bool> signalled_{false};
  static_assert(std::atomic<bool>::is_always_lock_free);
};
