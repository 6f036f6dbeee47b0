#pragma once

#include <string>

#include "engine/decoder.h"

namespace kivo::engine {

// Fills a tag format text: each of %TRCK, %TITL, %ARTI, %ALBM, %GNRE, %YEAR
// and %CMNT becomes that tag (empty when absent); other text stays.
std::string FormatTags(const TagMap& tags, const std::string& format);

}  // namespace kivo::engine
