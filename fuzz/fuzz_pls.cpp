// PLS playlists as read (the file loader and Add URL), bounded in entries by
// the File keys present, and written over the document they came from.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/playlist/pls_format.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string content(reinterpret_cast<const char*>(data), size);
  kivo::IniDocument ini = kivo::IniDocument::Parse(content);
  std::vector<kivo::PlsEntry> entries =
      kivo::ReadPlsEntries(ini, "File Not Found");
  if (entries.size() > size + kivo::kMaxPlsGapEntries) std::abort();
  std::vector<std::string> files;
  for (const kivo::PlsEntry& entry : entries) files.push_back(entry.file);
  kivo::WritePls(&ini, kivo::LocationList(files),
                 std::vector<long long>(files.size(), 0));
  kivo::ParsePls(ini.Serialize(), "");
  return 0;
}
