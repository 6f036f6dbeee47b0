#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>

namespace kivo::engine {

// Tags under the engine's own keys: "title", "artist", "album", "track",
// "genre", "year", "comment".
using TagMap = std::map<std::string, std::string>;

// What a decoder tells the channel about its stream.
struct StreamFormat {
  uint32_t sample_rate = 0;
  uint32_t source_channels = 0;  // as the file has them; output is stereo
  uint32_t ctype = 0;            // channel type reported by ChannelGetInfo
  int64_t length_frames = -1;    // -1 when unknown (network streams)
  bool is_module = false;
  bool seekable = true;
};

// One source of PCM: a file through FFmpeg, a module, a network stream or a
// plug-in. Every decoder produces interleaved float stereo at its own rate.
//
// Threads: a decoder is used by one thread at a time (the channel serialises
// Read and Seek); Interrupt (to wake a Read that waits for network data) and
// Metadata may be called from any thread.
class Decoder {
 public:
  virtual ~Decoder() = default;

  virtual const StreamFormat& format() const = 0;
  virtual const TagMap& tags() const = 0;

  // Decodes up to max_frames stereo frames into `stereo`; 0 at the end.
  virtual size_t Read(float* stereo, size_t max_frames) = 0;
  // Continues from `frame` (sample accurate where the format allows).
  virtual bool Seek(uint64_t frame) = 0;
  virtual void Interrupt() {}
  // After Interrupt: waits until threads of the decoder's own have ended.
  virtual void WaitStopped() {}
  // The latest in-stream metadata text of a network stream.
  virtual std::optional<std::string> Metadata() const { return std::nullopt; }
};

}  // namespace kivo::engine
