// Hand-edited theme files.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "core/ini/ini_document.h"
#include "core/ui/theme.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  kivo::ThemeLooks looks;
  kivo::ThemeColors colors;
  auto failure =
      kivo::ReadTheme(kivo::IniDocument::Parse(text), &looks, &colors);
  if (failure && failure->size() > 6) __builtin_trap();
  if (looks.playlist.line_height < 13 || looks.playlist.line_height > 37) {
    __builtin_trap();
  }
  return 0;
}
