#pragma once

#include <cstddef>

namespace kivo::engine::test {

// Watches the heap of the whole process (every thread) while it lives: the
// most bytes live at once above what was live at its start, and the largest
// single allocation. Counts through the sanitizer allocator's hooks, so an
// allocation that is never touched counts too; without a sanitizer it
// reports nothing (available() is false).
class AllocationWatch {
 public:
  AllocationWatch();
  ~AllocationWatch();
  AllocationWatch(const AllocationWatch&) = delete;
  AllocationWatch& operator=(const AllocationWatch&) = delete;

  static bool available();
  // The bytes live on the heap now (0 without a sanitizer).
  static size_t live_bytes();
  size_t peak_growth_bytes() const;
  size_t largest_bytes() const;
};

}  // namespace kivo::engine::test
