#include "core/playlist/kpp_format.h"

#include "core/util/atomic_file.h"
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

bool ReadKppFile(const std::string& path, LocationList* locations,
                 std::string* error) {
  LocationList read;
  auto expect = [&read](size_t lines, size_t bytes) {
    read.reserve(lines, bytes);
  };
  auto add = [&read](std::string_view line) { read.push_back(line); };
  if (!ReadFileLines(path, expect, add, error)) return false;
  *locations = std::move(read);
  return true;
}

}  // namespace kivo
