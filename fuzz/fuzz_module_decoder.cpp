// Any bytes as a tracker module: libopenmpt through the engine's module
// decoder, rendered for a bounded stretch, then from the middle.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "engine/module_decoder.h"
#include "memory_file.h"
#include "read_some.h"

namespace {

constexpr uint32_t kRate = 44100;
// A module renders slower than a file decodes.
constexpr size_t kMaxFramesPerPass = 32768;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  kivo::fuzz::MemoryFile file(data, size);
  if (!file.ok()) return 0;
  auto decoder =
      kivo::engine::ModuleDecoder::Open(file.path(), 0, 0, kRate, true);
  if (!decoder) return 0;
  if (decoder->format().length_frames < 0) std::abort();
  kivo::fuzz::ReadSome(*decoder, kMaxFramesPerPass);
  decoder->Seek(static_cast<uint64_t>(decoder->format().length_frames / 2));
  kivo::fuzz::ReadSome(*decoder, kMaxFramesPerPass);
  return 0;
}
