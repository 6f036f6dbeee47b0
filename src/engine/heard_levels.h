#pragma once

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace kivo::engine {

// The level of what the device plays at a given moment. The audio callback
// records the peak of each short slice it mixes; a callback's samples are
// heard one device buffer later, after those the device already holds, so
// the meter reads the slice that is reaching the speaker now rather than the
// one just decoded. Not synchronised: the channel guards it.
class HeardLevels {
 public:
  using Clock = std::chrono::steady_clock;

  void Configure(uint32_t device_rate, size_t slice_frames) {
    device_rate_ = device_rate;
    slice_frames_ = slice_frames;
    slices_.reserve(kReservedSlices);
  }
  size_t slice_frames() const { return slice_frames_; }

  // Audio callback: a device buffer of `buffer_frames` starts at `now`; the
  // previous buffer's slices are kept, older ones dropped.
  void BeginBuffer(size_t buffer_frames, Clock::time_point now) {
    slices_.erase(slices_.begin(), slices_.begin() + current_first_);
    current_first_ = slices_.size();
    buffer_frames_ = buffer_frames;
    buffer_start_ = now;
  }
  void AddSlice(uint32_t level) {
    if (slices_.size() < kReservedSlices) slices_.push_back(level);
  }
  void Clear() { slices_.clear(), current_first_ = 0; }

  uint32_t At(Clock::time_point now) const {
    if (slices_.empty() || device_rate_ == 0) return 0;
    auto elapsed = std::chrono::duration_cast<std::chrono::microseconds>(
        now - buffer_start_);
    long long heard_frames = elapsed.count() * device_rate_ / 1000000 -
                             static_cast<long long>(buffer_frames_);
    size_t index;
    if (heard_frames < 0) {
      long long in_previous =
          std::max(0LL, heard_frames + static_cast<long long>(buffer_frames_));
      index = std::min(static_cast<size_t>(in_previous) / slice_frames_,
                       current_first_ == 0 ? 0 : current_first_ - 1);
    } else {
      index =
          current_first_ + static_cast<size_t>(heard_frames) / slice_frames_;
    }
    return slices_[std::min(index, slices_.size() - 1)];
  }

 private:
  static constexpr size_t kReservedSlices = 64;

  std::vector<uint32_t> slices_;  // the previous buffer's, then this one's
  size_t current_first_ = 0;
  uint32_t device_rate_ = 0;
  size_t slice_frames_ = 1;
  size_t buffer_frames_ = 0;
  Clock::time_point buffer_start_;
};

}  // namespace kivo::engine
