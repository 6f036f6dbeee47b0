// Reads a decoder's output in chunks up to a bound, checking each chunk's
// size: enough to pass the first packets or patterns, fast enough per run.
#pragma once

#include <cstddef>
#include <cstdlib>
#include <vector>

#include "engine/decoder.h"

namespace kivo::fuzz {

inline void ReadSome(engine::Decoder& decoder, size_t max_frames) {
  constexpr size_t kChunkFrames = 4096;
  std::vector<float> stereo(kChunkFrames * 2);
  for (size_t total = 0; total < max_frames;) {
    size_t read = decoder.Read(stereo.data(), kChunkFrames);
    if (read > kChunkFrames) std::abort();
    if (read == 0) break;
    total += read;
  }
}

}  // namespace kivo::fuzz
