#include "engine/capture.h"

#include <chrono>
#include <cmath>
#include <thread>

namespace kivo::engine::test {

Capture::Capture(const std::vector<float>& stereo) {
  left_.reserve(stereo.size() / 2);
  for (size_t i = 0; i + 1 < stereo.size(); i += 2) left_.push_back(stereo[i]);
}

std::pair<size_t, size_t> Capture::Span(float threshold) const {
  size_t first = 0;
  while (first < left_.size() && std::fabs(left_[first]) <= threshold) ++first;
  if (first == left_.size()) return {0, 0};
  size_t last = left_.size();
  while (std::fabs(left_[last - 1]) <= threshold) --last;
  return {first, last};
}

float Capture::Peak(size_t from, size_t to) const {
  float peak = 0;
  for (size_t i = from; i < to && i < left_.size(); ++i) {
    peak = std::max(peak, std::fabs(left_[i]));
  }
  return peak;
}

size_t Capture::Crossings(size_t from, size_t to) const {
  size_t count = 0;
  for (size_t i = from + 1; i < to && i < left_.size(); ++i) {
    count += left_[i - 1] < 0 && left_[i] >= 0;
  }
  return count;
}

size_t Capture::CountNear(float value, float tolerance) const {
  size_t count = 0;
  for (float sample : left_) count += std::fabs(sample - value) <= tolerance;
  return count;
}

bool WaitUntil(const std::function<bool()>& condition, int limit_ms) {
  auto end =
      std::chrono::steady_clock::now() + std::chrono::milliseconds(limit_ms);
  while (!condition()) {
    if (std::chrono::steady_clock::now() > end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(3));
  }
  return true;
}

void SyncLatch::Fire(size_t value) {
  // Notified under the lock: the waiting test may destroy the latch as soon
  // as it wakes.
  std::lock_guard lock(mutex_);
  ++count_;
  value_ = value;
  cv_.notify_all();
}

bool SyncLatch::Wait(int count, int limit_ms) {
  std::unique_lock lock(mutex_);
  return cv_.wait_for(lock, std::chrono::milliseconds(limit_ms),
                      [&] { return count_ >= count; });
}

int SyncLatch::count() {
  std::lock_guard lock(mutex_);
  return count_;
}

size_t SyncLatch::value() {
  std::lock_guard lock(mutex_);
  return value_;
}

}  // namespace kivo::engine::test
