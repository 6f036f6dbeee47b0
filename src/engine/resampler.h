#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

struct SwrContext;

namespace kivo::engine {

// Float stereo from a channel's rate to the device's rate.
class Resampler {
 public:
  Resampler(uint32_t from_rate, uint32_t to_rate);
  ~Resampler();
  Resampler(const Resampler&) = delete;
  Resampler& operator=(const Resampler&) = delete;

  bool ok() const { return swr_ != nullptr; }
  // Converts `frames` frames (0 flushes what the filter holds); the result
  // stays valid until the next call.
  const std::vector<float>& Convert(const float* stereo, size_t frames);
  void Reset();
  // An upper bound of the frames Convert can return for `frames` input.
  size_t MaxOutput(size_t frames) const;

 private:
  void Create();

  uint32_t from_rate_;
  uint32_t to_rate_;
  SwrContext* swr_ = nullptr;
  std::vector<float> out_;
};

}  // namespace kivo::engine
