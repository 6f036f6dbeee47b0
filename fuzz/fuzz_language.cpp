// Hand-edited language files applied to both menus.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "core/ini/ini_document.h"
#include "core/ui/language_captions.h"
#include "core/ui/menu_model.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  kivo::IniDocument language = kivo::IniDocument::Parse(text);
  kivo::MenuModel menus;
  menus.AddChild(menus.Item("Plugins1"), "placeholder").enabled = false;
  kivo::ApplyPlaylistMenuCaptions(menus, language);
  kivo::ApplyTrayMenuCaptions(menus, language);
  if (menus.Item("Play").caption.size() > kivo::IniDocument::kMaxValueLength) {
    __builtin_trap();
  }
  return 0;
}
