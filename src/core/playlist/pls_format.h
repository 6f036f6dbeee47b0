#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/ini/ini_document.h"
#include "core/playlist/location_list.h"

namespace kivo {

struct PlsEntry {
  std::string file;
  std::string title;
};

// Numbers missing below the highest "File" key still give empty entries, but
// no more than this many in all: one key "File2000000000" must not ask for
// two billion of them.
constexpr long long kMaxPlsGapEntries = 65536;

// Entries 1 .. NumberOfEntries of section "playlist" (INI rules: names match
// without regard to case), taken by number only. A count beyond the highest
// "File" key present gives no entries past it. A missing Title<n> gives
// title_fallback.
std::vector<PlsEntry> ReadPlsEntries(const IniDocument& ini,
                                     std::string_view title_fallback);
std::vector<PlsEntry> ParsePls(std::string_view content,
                               std::string_view title_fallback);

// File<n>, Title<n> and Length<n> for every entry, then NumberOfEntries and
// Version=2, each set with the INI rules: keys already in the document are
// replaced where they stand and everything else stays.
void WritePls(IniDocument* ini, const LocationList& locations,
              const std::vector<long long>& lengths_seconds);

}  // namespace kivo
