#include "core/playlist/pls_format.h"

#include <algorithm>
#include <charconv>

#include "core/playlist/entry_names.h"
#include "core/util/text.h"

namespace kivo {
namespace {

constexpr char kSection[] = "playlist";

// n of a key spelled "File<n>" (any case, n >= 1 without leading zeros, the
// only spelling the reader ever asks for); 0 for any other key.
long long FileKeyNumber(std::string_view key) {
  if (key.size() < 5 || !EqualsIgnoreCase(key.substr(0, 4), "file")) return 0;
  std::string_view digits = key.substr(4);
  if (digits.front() == '0') return 0;
  long long number = 0;
  auto [end, error] =
      std::from_chars(digits.data(), digits.data() + digits.size(), number);
  if (error != std::errc() || end != digits.data() + digits.size()) return 0;
  return number;
}

// How many entries the file can honestly give: its count, cut at the highest
// File key present and at the gap allowance.
long long EntryCount(const IniDocument& ini) {
  long long count = ini.GetInt(kSection, "NumberOfEntries", 0);
  if (count <= 0) return 0;
  long long highest = 0;
  long long present = 0;
  for (const std::string& key : ini.Keys(kSection)) {
    long long number = FileKeyNumber(key);
    if (number == 0) continue;
    ++present;
    highest = std::max(highest, number);
  }
  return std::min({count, highest, present + kMaxPlsGapEntries});
}

}  // namespace

std::vector<PlsEntry> ReadPlsEntries(const IniDocument& ini,
                                     std::string_view title_fallback) {
  long long count = EntryCount(ini);
  std::vector<PlsEntry> entries;
  entries.reserve(static_cast<size_t>(count));
  for (long long n = 1; n <= count; ++n) {
    std::string number = IntText(n);
    entries.push_back(
        {ini.GetText(kSection, "File" + number, ""),
         ini.GetText(kSection, "Title" + number, title_fallback)});
  }
  return entries;
}

std::vector<PlsEntry> ParsePls(std::string_view content,
                               std::string_view title_fallback) {
  return ReadPlsEntries(IniDocument::Parse(content), title_fallback);
}

void WritePls(IniDocument* ini, const LocationList& locations,
              const std::vector<long long>& lengths_seconds) {
  for (size_t i = 0; i < locations.size(); ++i) {
    std::string number = IntText(static_cast<long long>(i) + 1);
    long long seconds = i < lengths_seconds.size() ? lengths_seconds[i] : 0;
    ini->Set(kSection, "File" + number, locations[i]);
    ini->Set(kSection, "Title" + number, BaseTitle(locations[i]));
    ini->Set(kSection, "Length" + number, IntText(seconds));
  }
  ini->Set(kSection, "NumberOfEntries",
           IntText(static_cast<long long>(locations.size())));
  ini->Set(kSection, "Version", "2");
}

}  // namespace kivo
