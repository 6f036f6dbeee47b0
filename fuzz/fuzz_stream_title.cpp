// Radio metadata blocks as a hostile station may send them: the title cut
// must never read outside the block, and what it returns lies inside it.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "core/playback/stream_title.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view metadata(reinterpret_cast<const char*>(data), size);
  auto title = kivo::StreamTitleOf(metadata);
  if (title && title->size() > size) std::abort();
  return 0;
}
