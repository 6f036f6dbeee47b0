#pragma once

#include <stdexcept>
#include <string>

#include "core/ini/ini_file.h"

namespace kivo {

// A settings write that failed. It abandons the command that wrote; the
// command boundary shows "Unable to write to <path>".
class SettingsWriteError : public std::runtime_error {
 public:
  explicit SettingsWriteError(const std::string& path)
      : std::runtime_error("Unable to write to " + path), path_(path) {}
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

enum class SettingKind { kText = 1, kInteger = 2, kBoolean = 3 };

// settings.ini of the program folder. Booleans are stored "1"/"0" and read as
// integers; integers are decimal, "0x" hexadecimal is accepted on reading; a
// missing or malformed value gives the caller's default. The file is created
// owner-only: it holds the Last.fm password.
class SettingsStore {
 public:
  explicit SettingsStore(const std::string& path) : file_(path, 0600) {}

  const std::string& path() const { return file_.path(); }

  // kInteger converts the text to an integer, kBoolean takes "true"/"false"
  // in any case or a number (non-zero is true). Throws SettingsWriteError.
  void WriteSetting(const std::string& section, const std::string& key,
                    const std::string& text, SettingKind kind) const;
  void WriteText(const std::string& section, const std::string& key,
                 const std::string& text) const;
  void WriteInt(const std::string& section, const std::string& key,
                long long value) const;
  void WriteBool(const std::string& section, const std::string& key,
                 bool value) const;

  std::string ReadSettingText(const std::string& section,
                              const std::string& key,
                              const std::string& fallback) const;
  long long ReadSettingInt(const std::string& section, const std::string& key,
                           long long fallback) const;
  bool ReadSettingBool(const std::string& section, const std::string& key,
                       bool fallback) const;

  // One read of the whole file, for steps that read many keys at once.
  IniDocument Snapshot() const { return file_.Load(); }

 private:
  IniFile file_;
};

// A boolean as the store reads it from a loaded document.
bool ReadBool(const IniDocument& document, const std::string& section,
              const std::string& key, bool fallback);

}  // namespace kivo
