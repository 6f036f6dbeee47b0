#include "core/playlist/m3u_format.h"

#include "core/playlist/entry_names.h"
#include "core/util/text.h"

namespace kivo {

LocationList ParseM3u(std::string_view content) {
  LocationList locations;
  ForEachLine(content, [&locations](std::string_view line) {
    if (!line.empty() && line.front() != '#') locations.push_back(line);
  });
  return locations;
}

std::string FormatM3u(const LocationList& locations,
                      const std::vector<long long>& lengths_seconds) {
  std::string out = "#EXTM3U\r\n";
  for (size_t i = 0; i < locations.size(); ++i) {
    long long seconds = i < lengths_seconds.size() ? lengths_seconds[i] : 0;
    out +=
        "#EXTINF:" + IntText(seconds) + "," + BaseTitle(locations[i]) + "\r\n";
    out += locations[i];
    out += "\r\n";
  }
  return out;
}

}  // namespace kivo
