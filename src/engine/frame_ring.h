#pragma once

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <vector>

namespace kivo::engine {

// A fixed ring of float stereo frames. Not synchronised: the channel guards
// it with its own mutex.
class FrameRing {
 public:
  explicit FrameRing(size_t capacity_frames)
      : data_(capacity_frames * 2), capacity_(capacity_frames) {}

  size_t size() const { return size_; }
  size_t free() const { return capacity_ - size_; }
  bool empty() const { return size_ == 0; }
  void Clear() { head_ = size_ = 0; }

  // Appends up to free() frames; returns how many were taken.
  size_t Push(const float* stereo, size_t frames) {
    frames = std::min(frames, free());
    size_t tail = capacity_ == 0 ? 0 : (head_ + size_) % capacity_;
    // In at most two runs: up to the end of the storage, then from its start.
    size_t first_run = std::min(frames, capacity_ - tail);
    std::copy_n(stereo, first_run * 2, data_.begin() + tail * 2);
    std::copy_n(stereo + first_run * 2, (frames - first_run) * 2,
                data_.begin());
    size_ += frames;
    return frames;
  }

  // Adds up to `frames` frames times `gain` onto `out` and drops them; calls
  // `on_peak(left, right)` with the peak of each side of every `slice_frames`
  // frames mixed (the last slice may be shorter), taken from the samples
  // themselves: the level meter shows the music, not the volume.
  template <typename PeakProc>
  size_t MixOut(float* out, size_t frames, float gain, size_t slice_frames,
                PeakProc on_peak) {
    frames = std::min(frames, size_);
    float peak_left = 0;
    float peak_right = 0;
    size_t in_slice = 0;
    size_t slot = head_;
    for (size_t i = 0; i < frames; ++i) {
      float left = data_[slot * 2];
      float right = data_[slot * 2 + 1];
      if (++slot == capacity_) slot = 0;
      out[i * 2] += left * gain;
      out[i * 2 + 1] += right * gain;
      peak_left = std::max(peak_left, std::abs(left));
      peak_right = std::max(peak_right, std::abs(right));
      if (++in_slice == slice_frames || i + 1 == frames) {
        on_peak(peak_left, peak_right);
        peak_left = peak_right = 0;
        in_slice = 0;
      }
    }
    head_ = slot;
    size_ -= frames;
    return frames;
  }

 private:
  std::vector<float> data_;
  size_t capacity_;
  size_t head_ = 0;
  size_t size_ = 0;
};

}  // namespace kivo::engine
