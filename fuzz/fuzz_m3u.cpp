// M3U playlists as read; what is written must read back as its locations.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/playlist/m3u_format.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string content(reinterpret_cast<const char*>(data), size);
  kivo::LocationList locations = kivo::ParseM3u(content);
  std::vector<long long> lengths(locations.size(), 1);
  if (kivo::ParseM3u(kivo::FormatM3u(locations, lengths)).ToVector() !=
      locations.ToVector()) {
    std::abort();
  }
  return 0;
}
