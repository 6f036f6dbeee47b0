#include "engine/resampler.h"

extern "C" {
#include <libavutil/channel_layout.h>
#include <libswresample/swresample.h>
}

namespace kivo::engine {

Resampler::Resampler(uint32_t from_rate, uint32_t to_rate)
    : from_rate_(from_rate), to_rate_(to_rate) {
  Create();
}

Resampler::~Resampler() { swr_free(&swr_); }

void Resampler::Create() {
  AVChannelLayout stereo = AV_CHANNEL_LAYOUT_STEREO;
  if (swr_alloc_set_opts2(&swr_, &stereo, AV_SAMPLE_FMT_FLT,
                          static_cast<int>(to_rate_), &stereo,
                          AV_SAMPLE_FMT_FLT, static_cast<int>(from_rate_), 0,
                          nullptr) < 0 ||
      swr_init(swr_) < 0) {
    swr_free(&swr_);
  }
}

void Resampler::Reset() {
  swr_free(&swr_);
  Create();
}

size_t Resampler::MaxOutput(size_t frames) const {
  return frames * to_rate_ / from_rate_ + 256;
}

const std::vector<float>& Resampler::Convert(const float* stereo,
                                             size_t frames) {
  out_.resize(MaxOutput(frames) * 2);
  if (!swr_) {
    out_.clear();
    return out_;
  }
  auto* out = reinterpret_cast<uint8_t*>(out_.data());
  const auto* in = reinterpret_cast<const uint8_t*>(stereo);
  int produced = swr_convert(swr_, &out, static_cast<int>(MaxOutput(frames)),
                             frames ? &in : nullptr, static_cast<int>(frames));
  out_.resize(produced > 0 ? static_cast<size_t>(produced) * 2 : 0);
  return out_;
}

}  // namespace kivo::engine
