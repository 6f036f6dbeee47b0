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
  std::string content;
  const bool present = ReadWholeFile(path_, &content);
  IniDocument document = present ? IniDocument::Parse(content) : IniDocument();
  document.Set(section, key, value);
  std::string updated = document.Serialize();
  // A file that holds the value already needs no write: a read-only one is
  // then no failure.
  if (present && updated == content) return true;
  return WriteFileAtomically(path_, updated, new_file_mode_, error);
}

}  // namespace kivo
