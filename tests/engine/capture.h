#pragma once

#include <condition_variable>
#include <cstddef>
#include <functional>
#include <mutex>
#include <vector>

namespace kivo::engine::test {

// The left channel of what SDL's disk driver wrote (float stereo).
class Capture {
 public:
  explicit Capture(const std::vector<float>& stereo);

  size_t frames() const { return left_.size(); }
  float at(size_t frame) const { return left_[frame]; }
  // First and one past the last frame louder than `threshold`; {0, 0} if none.
  std::pair<size_t, size_t> Span(float threshold) const;
  float Peak(size_t from, size_t to) const;
  // Upward zero crossings in [from, to).
  size_t Crossings(size_t from, size_t to) const;
  // Frames whose value is within `tolerance` of `value`.
  size_t CountNear(float value, float tolerance) const;

 private:
  std::vector<float> left_;
};

// Polls `condition` every few milliseconds, at most `limit_ms`.
bool WaitUntil(const std::function<bool()>& condition, int limit_ms = 10000);

// Counts sync calls and wakes a waiting test.
class SyncLatch {
 public:
  void Fire(size_t value);
  // Waits (bounded) for the n-th call; false when it did not come.
  bool Wait(int count = 1, int limit_ms = 10000);
  int count();
  size_t value();  // what the last call recorded

 private:
  std::mutex mutex_;
  std::condition_variable cv_;
  int count_ = 0;
  size_t value_ = 0;
};

}  // namespace kivo::engine::test
