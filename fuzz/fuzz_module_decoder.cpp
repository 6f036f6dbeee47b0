// Any bytes as a tracker module: libopenmpt through the engine's module
// decoder, rendered for a bounded stretch, then from the middle.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "engine/module_decoder.h"
#include "memory_file.h"

namespace {

constexpr uint32_t kRate = 44100;
constexpr size_t kChunkFrames = 4096;
constexpr size_t kMaxFramesPerPass = 32768;

void RenderSome(kivo::engine::ModuleDecoder& decoder) {
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
  kivo::fuzz::MemoryFile file(data, size);
  if (!file.ok()) return 0;
  auto decoder =
      kivo::engine::ModuleDecoder::Open(file.path(), 0, 0, kRate, true);
  if (!decoder) return 0;
  if (decoder->format().length_frames < 0) std::abort();
  RenderSome(*decoder);
  decoder->Seek(static_cast<uint64_t>(decoder->format().length_frames / 2));
  RenderSome(*decoder);
  return 0;
}
