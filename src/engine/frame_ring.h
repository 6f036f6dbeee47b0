#pragma once

#include <algorithm>
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
    for (size_t i = 0; i < frames; ++i) {
      size_t slot = (head_ + size_ + i) % capacity_;
      data_[slot * 2] = stereo[i * 2];
      data_[slot * 2 + 1] = stereo[i * 2 + 1];
    }
    size_ += frames;
    return frames;
  }

  // Adds up to `frames` frames times `gain` onto `out` and drops them; keeps
  // the peak of each side over the last `peak_window` frames mixed, taken
  // from the samples themselves: the level meter shows the music, not the
  // volume.
  size_t MixOut(float* out, size_t frames, float gain, size_t peak_window,
                float* peak_left, float* peak_right) {
    frames = std::min(frames, size_);
    if (frames == 0) return 0;
    size_t peak_from = frames > peak_window ? frames - peak_window : 0;
    for (size_t i = 0; i < frames; ++i) {
      size_t slot = (head_ + i) % capacity_;
      float left = data_[slot * 2];
      float right = data_[slot * 2 + 1];
      out[i * 2] += left * gain;
      out[i * 2 + 1] += right * gain;
      if (i >= peak_from) {
        *peak_left = std::max(*peak_left, left < 0 ? -left : left);
        *peak_right = std::max(*peak_right, right < 0 ? -right : right);
      }
    }
    head_ = (head_ + frames) % capacity_;
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
