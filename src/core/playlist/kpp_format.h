#pragma once

#include <string>
#include <vector>

#include "core/playlist/location_list.h"

namespace kivo {

// KPP: one location per line, nothing else; every line an entry, an empty
// one included. Lines are written with CR LF.
std::vector<std::string> ParseKpp(const std::string& content);
std::string FormatKpp(const LocationList& locations);
// A KPP file read line by line into a list sized once: a long list is never
// held twice. False (with the system's reason) when it cannot be read.
bool ReadKppFile(const std::string& path, LocationList* locations,
                 std::string* error);

}  // namespace kivo
