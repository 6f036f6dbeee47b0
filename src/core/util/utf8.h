#pragma once

#include <string>
#include <string_view>

namespace kivo {

bool IsValidUtf8(std::string_view text);
// Text that is not valid UTF-8 (an old playlist, a Latin-1 radio title) is
// taken as Windows-1252 and converted; valid UTF-8 comes back unchanged.
std::string EnsureUtf8(std::string_view text);

}  // namespace kivo
