// LargeBufferAllocator: an allocator for the big arrays of a run (the targets, points and
// weights of every point), which maps arrays of 512 KiB and more straight from the kernel, on
// transparent huge pages where the kernel grants them.
//
// A run's targets are written in full right after they are allocated. On 4 KiB pages that is
// one page fault per 4 KiB, which on a virtual machine costs more than the writing itself;
// with huge pages one fault covers 2 MiB. Fresh mappings are zero, so elements are not zeroed
// again: an element is zero when its array is allocated, and a resize within the capacity
// (which this allocator never sees) leaves the old values. Smaller arrays come from operator
// new and are zeroed as usual.
#pragma once

#include <sys/mman.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>
#include <new>
#include <utility>
#include <vector>

template <class T>
struct LargeBufferAllocator {
  using value_type = T;
  static constexpr std::size_t kHugePage = std::size_t{2} << 20;
  // Below this an array stays on small pages: a huge page would waste more than its faults
  // cost.
  static constexpr std::size_t kSmallest = std::size_t{512} << 10;

  LargeBufferAllocator() = default;
  template <class U>
  LargeBufferAllocator(const LargeBufferAllocator<U>&) {}

  T* allocate(std::size_t n) {
    if (n > (std::numeric_limits<std::size_t>::max() - 2 * kHugePage) / sizeof(T)) {
      throw std::bad_array_new_length();
    }
    const std::size_t bytes = n * sizeof(T);
    if (bytes < kSmallest) {
      void* memory = ::operator new(bytes);
      std::memset(memory, 0, bytes);
      return static_cast<T*>(memory);
    }
    // Mapped with a huge page of room, then trimmed to a huge-page-aligned range.
    const std::size_t length = rounded(bytes);
    void* mapped = mmap(nullptr, length + kHugePage, PROT_READ | PROT_WRITE,
                        MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapped == MAP_FAILED) throw std::bad_alloc();
    const auto start = reinterpret_cast<std::uintptr_t>(mapped);
    const std::uintptr_t aligned = (start + kHugePage - 1) / kHugePage * kHugePage;
    if (aligned > start) munmap(mapped, aligned - start);
    if (const std::size_t tail = kHugePage - (aligned - start); tail > 0) {
      munmap(reinterpret_cast<void*>(aligned + length), tail);
    }
    madvise(reinterpret_cast<void*>(aligned), length, MADV_HUGEPAGE);  // a hint only
    return reinterpret_cast<T*>(aligned);
  }

  void deallocate(T* memory, std::size_t n) {
    const std::size_t bytes = n * sizeof(T);
    if (bytes < kSmallest) {
      ::operator delete(memory);
    } else {
      munmap(memory, rounded(bytes));
    }
  }

  // Elements made by resize() are left as the memory holds them: zero (see above).
  template <class U>
  void construct(U* p) noexcept {
    ::new (static_cast<void*>(p)) U;
  }
  template <class U, class... Args>
  void construct(U* p, Args&&... args) {
    ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
  }

 private:
  static std::size_t rounded(std::size_t bytes) {
    return (bytes + kHugePage - 1) / kHugePage * kHugePage;
  }
};

template <class T, class U>
bool operator==(const LargeBufferAllocator<T>&, const LargeBufferAllocator<U>&) {
  return true;
}

template <class T>
using LargeBuffer = std::vector<T, LargeBufferAllocator<T>>;
