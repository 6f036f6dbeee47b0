#include "engine/icy_demuxer.h"

#include <algorithm>
#include <utility>

namespace kivo::engine {

namespace {
constexpr size_t kMaxMetaint = size_t{1} << 20;
}  // namespace

IcyDemuxer::IcyDemuxer(size_t metaint, AudioSink audio, MetaSink meta)
    : metaint_(metaint),
      audio_(std::move(audio)),
      meta_(std::move(meta)),
      audio_left_(metaint) {}

void IcyDemuxer::Feed(const uint8_t* data, size_t length) {
  if (metaint_ == 0) {
    if (length > 0) audio_(data, length);
    return;
  }
  while (length > 0) {
    if (in_meta_) {
      size_t take = std::min(meta_left_, length);
      block_.append(reinterpret_cast<const char*>(data), take);
      data += take;
      length -= take;
      meta_left_ -= take;
      if (meta_left_ == 0) FinishBlock();
    } else if (audio_left_ == 0) {
      // The length byte: the block is at most 255 * 16 bytes by construction.
      meta_left_ = size_t{*data} * 16;
      ++data;
      --length;
      in_meta_ = true;
      block_.clear();
      if (meta_left_ == 0) FinishBlock();
    } else {
      size_t take = std::min(audio_left_, length);
      audio_(data, take);
      data += take;
      length -= take;
      audio_left_ -= take;
    }
  }
}

void IcyDemuxer::FinishBlock() {
  in_meta_ = false;
  audio_left_ = metaint_;
  // The text ends at the first NUL of the padding.
  size_t end = block_.find('\0');
  if (end != std::string::npos) block_.resize(end);
  if (block_.empty() || (latest_ && *latest_ == block_)) return;
  latest_ = block_;
  meta_(block_);
}

size_t ParseIcyMetaint(std::string_view value) {
  while (!value.empty() && (value.front() == ' ' || value.front() == '\t')) {
    value.remove_prefix(1);
  }
  while (!value.empty() && (value.back() == ' ' || value.back() == '\t' ||
                            value.back() == '\r' || value.back() == '\n')) {
    value.remove_suffix(1);
  }
  if (value.empty() || value.size() > 8) return 0;
  size_t result = 0;
  for (char c : value) {
    if (c < '0' || c > '9') return 0;
    result = result * 10 + static_cast<size_t>(c - '0');
  }
  return result <= kMaxMetaint ? result : 0;
}

}  // namespace kivo::engine
