// LargeBufferAllocator: an allocator for the big arrays of a run (the targets of every point),
// which asks the kernel for transparent huge pages on allocations of 512 KiB and more.
//
// A run's targets are written once, in full, right after they are allocated; on 4 KiB pages that
// is one page fault per 4 KiB, which on a virtual machine costs more than the writing itself.
// With huge pages one fault covers 2 MiB. Smaller arrays come from operator new as usual.
#pragma once

#include <sys/mman.h>

#include <cstddef>
#include <cstdlib>
#include <limits>
#include <new>
#include <vector>

template <class T>
struct LargeBufferAllocator {
  using value_type = T;
  static constexpr std::size_t kHugePage = std::size_t{2} << 20;
  // Below this an array is left on small pages: rounding it up to a huge page would waste
  // more than its faults cost.
  static constexpr std::size_t kSmallest = std::size_t{512} << 10;

  LargeBufferAllocator() = default;
  template <class U>
  LargeBufferAllocator(const LargeBufferAllocator<U>&) {}

  T* allocate(std::size_t n) {
    if (n > std::numeric_limits<std::size_t>::max() / sizeof(T) - kHugePage) {
      throw std::bad_array_new_length();
    }
    const std::size_t bytes = n * sizeof(T);
    if (bytes < kSmallest) return static_cast<T*>(::operator new(bytes));
    const std::size_t rounded = (bytes + kHugePage - 1) / kHugePage * kHugePage;
    void* memory = std::aligned_alloc(kHugePage, rounded);
    if (memory == nullptr) throw std::bad_alloc();
    madvise(memory, rounded, MADV_HUGEPAGE);  // a hint; without it the pages are small
    return static_cast<T*>(memory);
  }

  void deallocate(T* memory, std::size_t n) {
    if (n * sizeof(T) < kSmallest) {
      ::operator delete(memory);
    } else {
      std::free(memory);
    }
  }
};

template <class T, class U>
bool operator==(const LargeBufferAllocator<T>&, const LargeBufferAllocator<U>&) {
  return true;
}

template <class T>
using LargeBuffer = std::vector<T, LargeBufferAllocator<T>>;
