#include "core/playlist/kpp_format.h"

#include "core/util/text.h"

namespace kivo {

std::vector<std::string> ParseKpp(const std::string& content) {
  return SplitLines(content);
}

std::string FormatKpp(const LocationList& locations) {
  std::string out;
  for (std::string_view location : locations) {
    out += location;
    out += "\r\n";
  }
  return out;
}

}  // namespace kivo
