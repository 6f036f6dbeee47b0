#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace kivo::engine {

// Splits a SHOUTcast/Icecast body into audio bytes and metadata blocks.
// After every `metaint` audio bytes the server sends one length byte (times 16)
// and that many bytes of metadata text padded with NULs. Pure and
// allocation-light so that it can be fuzzed on its own.
class IcyDemuxer {
 public:
  using AudioSink = std::function<void(const uint8_t* data, size_t length)>;
  using MetaSink = std::function<void(const std::string& text)>;

  // metaint 0 means the stream carries no metadata: everything is audio.
  IcyDemuxer(size_t metaint, AudioSink audio, MetaSink meta);

  // Feeds the next piece of the body; calls the sinks in stream order. A
  // metadata sink call happens only for a non-empty block whose text differs
  // from the previous one.
  void Feed(const uint8_t* data, size_t length);

  // The latest metadata text, if any block has arrived.
  const std::optional<std::string>& latest() const { return latest_; }

 private:
  void FinishBlock();

  size_t metaint_;
  AudioSink audio_;
  MetaSink meta_;
  size_t audio_left_;     // audio bytes before the next length byte
  size_t meta_left_ = 0;  // metadata bytes still to read of this block
  bool in_meta_ = false;
  std::string block_;
  std::optional<std::string> latest_;
};

// Parses an icy-metaint header value: decimal digits only, 1..1 MiB. Anything
// else (a bogus value) gives 0, so the body is taken as plain audio.
size_t ParseIcyMetaint(std::string_view value);

}  // namespace kivo::engine
