#include "engine/allocation_watch.h"

#include <atomic>
#include <cstddef>

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define KIVO_ALLOCATION_HOOKS 1
// The sanitizer runtime's allocator interface; GCC ships no header for it.
extern "C" {
size_t __sanitizer_get_current_allocated_bytes();
int __sanitizer_install_malloc_and_free_hooks(
    void (*malloc_hook)(const volatile void*, size_t),
    void (*free_hook)(const volatile void*));
}
#endif

namespace kivo::engine::test {

namespace {

std::atomic<bool> watching{false};
std::atomic<size_t> baseline{0};
std::atomic<size_t> peak{0};
std::atomic<size_t> largest{0};

void RaiseTo(std::atomic<size_t>& value, size_t candidate) {
  size_t seen = value.load();
  while (candidate > seen && !value.compare_exchange_weak(seen, candidate)) {
  }
}

#ifdef KIVO_ALLOCATION_HOOKS
void OnMalloc(const volatile void*, size_t size) {
  if (!watching) return;
  RaiseTo(largest, size);
  RaiseTo(peak, __sanitizer_get_current_allocated_bytes());
}
void OnFree(const volatile void*) {}
// The hooks stay installed for the process; only a live watch records.
const bool kHooked =
    __sanitizer_install_malloc_and_free_hooks(&OnMalloc, &OnFree) != 0;
#endif

}  // namespace

bool AllocationWatch::available() {
#ifdef KIVO_ALLOCATION_HOOKS
  return kHooked;
#else
  return false;
#endif
}

size_t AllocationWatch::live_bytes() {
#ifdef KIVO_ALLOCATION_HOOKS
  return __sanitizer_get_current_allocated_bytes();
#else
  return 0;
#endif
}

AllocationWatch::AllocationWatch() {
#ifdef KIVO_ALLOCATION_HOOKS
  baseline = __sanitizer_get_current_allocated_bytes();
  peak = baseline.load();
#endif
  largest = 0;
  watching = true;
}

AllocationWatch::~AllocationWatch() { watching = false; }

size_t AllocationWatch::peak_growth_bytes() const {
  return peak > baseline ? peak - baseline : 0;
}

size_t AllocationWatch::largest_bytes() const { return largest; }

}  // namespace kivo::engine::test
