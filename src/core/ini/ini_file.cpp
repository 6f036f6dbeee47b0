#include "core/ini/ini_file.h"

#include "core/util/atomic_file.h"

namespace kivo {

IniDocument IniFile::Load() const {
  std::string content;
  if (!ReadWholeFile(path_, &content)) return IniDocument();
  return IniDocument::Parse(content);
}

bool IniFile::Store(const IniDocument& document, std::string* error) const {
  return WriteFileAtomically(path_, document.Serialize(), new_file_mode_,
                             error);
}

std::string IniFile::ReadText(std::string_view section, std::string_view key,
                              std::string_view fallback) const {
  return Load().GetText(section, key, fallback);
}

long long IniFile::ReadInt(std::string_view section, std::string_view key,
                           long long fallback) const {
  return Load().GetInt(section, key, fallback);
}

bool IniFile::WriteText(std::string_view section, std::string_view key,
                        std::string_view value, std::string* error) const {
  IniDocument document = Load();
  document.Set(section, key, value);
  return Store(document, error);
}

}  // namespace kivo
