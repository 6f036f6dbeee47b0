// Colour texts from theme files and the volume display.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "core/ui/theme.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  std::string reordered = kivo::ReorderColorText(text);
  if (reordered.size() > 6) __builtin_trap();
  auto color = kivo::ParseColor(text);
  if (color && *color > 0xFFFFFFu) __builtin_trap();
  return 0;
}
