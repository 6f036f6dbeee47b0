#pragma once

#include <cstdint>

namespace kivo {

// A colour as 0x00BBGGRR: red in the lowest byte, as theme files store it.
using ColorValue = uint32_t;

constexpr int RedOf(ColorValue c) { return static_cast<int>(c & 0xFF); }
constexpr int GreenOf(ColorValue c) {
  return static_cast<int>((c >> 8) & 0xFF);
}
constexpr int BlueOf(ColorValue c) {
  return static_cast<int>((c >> 16) & 0xFF);
}

}  // namespace kivo
