#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/playlist/location_list.h"

namespace kivo {

// M3U as read: every line that is neither empty nor starts with "#" is one
// location, untrimmed; "#EXTINF" titles and lengths are not used.
LocationList ParseM3u(std::string_view content);

// "#EXTM3U", then per entry an "#EXTINF:<seconds>,<name>" line and the
// location itself, every line ended by CR LF. lengths_seconds runs parallel
// to locations.
std::string FormatM3u(const LocationList& locations,
                      const std::vector<long long>& lengths_seconds);

}  // namespace kivo
