// Any bytes as a media file for the engine's FFmpeg decoder: opening, reading
// a bounded stretch, seeking into the middle and reading again must stay
// inside its buffers and report a sane format.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" {
#include <libavutil/log.h>
}

#include "engine/ffmpeg_decoder.h"
#include "memory_file.h"
#include "read_some.h"

namespace {

constexpr size_t kMaxFramesPerPass = 65536;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // FFmpeg's complaints about broken input would cost more than decoding it.
  static const bool kQuiet = (av_log_set_level(AV_LOG_QUIET), true);
  (void)kQuiet;
  kivo::fuzz::MemoryFile file(data, size);
  if (!file.ok()) return 0;
  auto decoder = kivo::engine::FfmpegDecoder::OpenFile(file.path());
  if (!decoder) return 0;
  const kivo::engine::StreamFormat& format = decoder->format();
  if (format.sample_rate == 0 || format.source_channels == 0) std::abort();
  kivo::fuzz::ReadSome(*decoder, kMaxFramesPerPass);
  if (format.length_frames > 0) {
    decoder->Seek(static_cast<uint64_t>(format.length_frames / 2));
    kivo::fuzz::ReadSome(*decoder, kMaxFramesPerPass);
  }
  return 0;
}
