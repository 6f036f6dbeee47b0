#include "core/playlist/kpp_format.h"

#include "core/util/text.h"

namespace kivo {

std::vector<std::string> ParseKpp(const std::string& content) {
  return SplitLines(content);
}

std::string FormatKpp(const std::vector<std::string>& locations) {
  return JoinLinesCrLf(locations);
}

}  // namespace kivo
