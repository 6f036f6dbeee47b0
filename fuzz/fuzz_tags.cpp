// Any bytes as a tagged file, read the way the player reads tags: a
// decode-only probe and every tag code of the tag format, as the tag window,
// the playing title and the search window ask for them.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "engine/engine.h"
#include "memory_file.h"

namespace {

constexpr const char* kFormats[] = {
    "%TRCK", "%TITL", "%ARTI", "%ALBM",
    "%GNRE", "%YEAR", "%CMNT", "%TRCK. %ARTI - %TITL [%ALBM] %%TITL %",
    "%TIT"};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static kivo::engine::Engine engine;
  kivo::fuzz::MemoryFile file(data, size);
  if (!file.ok()) return 0;
  auto probe = engine.StreamCreateFile(file.path(), 0, 0,
                                       kivo::AudioLibrary::kStreamDecode);
  for (const char* format : kFormats) {
    // A tag is at most what the file held.
    if (engine.TagsRead(probe, format).size() > size * 4 + 64) std::abort();
  }
  engine.ChannelGetTags(probe, kivo::AudioLibrary::kTagMeta);
  if (probe) engine.StreamFree(probe);
  return 0;
}
