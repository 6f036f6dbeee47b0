// KPP playlists (and temp.tmp) as read, and the written form read back.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "core/playlist/kpp_format.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string content(reinterpret_cast<const char*>(data), size);
  std::vector<std::string> locations = kivo::ParseKpp(content);
  // Locations without line breaks come back exactly as written.
  for (const std::string& location : locations) {
    if (location.find_first_of("\r\n") != std::string::npos) std::abort();
  }
  if (kivo::ParseKpp(kivo::FormatKpp(kivo::LocationList(locations))) !=
      locations)
    std::abort();
  return 0;
}
