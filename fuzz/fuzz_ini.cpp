// Reads and rewrites arbitrary bytes as an INI file: nothing may crash, and a
// key written must read back.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "core/ini/ini_document.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  kivo::IniDocument ini = kivo::IniDocument::Parse(text);
  ini.GetText("settings", "Mode", "");
  ini.GetInt("playlist", "NumberOfEntries", 0);
  ini.Keys("playlist");
  ini.Set("Settings", "volume", "5000");
  kivo::IniDocument again = kivo::IniDocument::Parse(ini.Serialize());
  if (again.GetText("settings", "VOLUME", "") != "5000") std::abort();
  kivo::ParseIniInt(text.substr(0, 64));
  return 0;
}
