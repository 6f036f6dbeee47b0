// Any bytes as a media file for the engine's FFmpeg decoder: opening, reading
// a bounded stretch, seeking into the middle and reading again must stay
// inside its buffers and report a sane format.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

extern "C" {
#include <libavutil/log.h>
}

#include "engine/ffmpeg_decoder.h"
#include "memory_file.h"

namespace {

// Enough to pass the first packets and a seek; bounded so one run stays fast.
constexpr size_t kChunkFrames = 4096;
constexpr size_t kMaxFramesPerPass = 65536;

void ReadSome(kivo::engine::FfmpegDecoder& decoder) {
  std::vector<float> stereo(kChunkFrames * 2);
  for (size_t total = 0; total < kMaxFramesPerPass;) {
    size_t read = decoder.Read(stereo.data(), kChunkFrames);
    if (read > kChunkFrames) std::abort();
    if (read == 0) break;
    total += read;
  }
}

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
  ReadSome(*decoder);
  if (format.length_frames > 0) {
    decoder->Seek(static_cast<uint64_t>(format.length_frames / 2));
    ReadSome(*decoder);
  }
  return 0;
}
