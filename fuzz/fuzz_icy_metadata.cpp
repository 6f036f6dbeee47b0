// Feeds arbitrary bytes to the ICY splitter: the first two bytes choose the
// metadata interval, the rest is the body, cut into pieces of varying size.
#include <cstddef>
#include <cstdint>
#include <string>

#include "engine/icy_demuxer.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  size_t metaint = (size_t{data[0]} << 8 | data[1]) % 4097;
  size_t audio_bytes = 0;
  kivo::engine::IcyDemuxer demuxer(
      metaint, [&](const uint8_t*, size_t length) { audio_bytes += length; },
      [](const std::string& text) {
        if (text.empty() || text.find('\0') != std::string::npos)
          __builtin_trap();
      });
  for (size_t at = 2, piece = 1; at < size;
       at += piece, piece = piece % 7 + 1) {
    size_t length = piece < size - at ? piece : size - at;
    demuxer.Feed(data + at, length);
  }
  if (audio_bytes > size) __builtin_trap();
  kivo::engine::ParseIcyMetaint(
      std::string(reinterpret_cast<const char*>(data), size));
  return 0;
}
