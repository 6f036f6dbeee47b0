#pragma once

#include <string>
#include <string_view>

#include "core/ini/ini_document.h"

namespace kivo {

// One INI file on disk. Nothing is cached: every call opens the file, does one
// access and closes it, so a hand edit is seen by the next read.
class IniFile {
 public:
  explicit IniFile(std::string path, unsigned new_file_mode = 0644)
      : path_(std::move(path)), new_file_mode_(new_file_mode) {}

  const std::string& path() const { return path_; }

  // The file as it is now; a missing or unreadable file reads as empty.
  IniDocument Load() const;
  // Writes the document back atomically; false (with the reason) on failure.
  bool Store(const IniDocument& document, std::string* error = nullptr) const;

  std::string ReadText(std::string_view section, std::string_view key,
                       std::string_view fallback) const;
  long long ReadInt(std::string_view section, std::string_view key,
                    long long fallback) const;
  // Read, change one key, write back (nothing is written when the file
  // stays the same).
  bool WriteText(std::string_view section, std::string_view key,
                 std::string_view value, std::string* error = nullptr) const;

 private:
  std::string path_;
  unsigned new_file_mode_;
};

}  // namespace kivo
