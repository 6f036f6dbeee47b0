#pragma once

#include <mutex>
#include <string>

#include "core/app/settings_store.h"

namespace kivo {

// Texts of the chosen language file. Every lookup reads the `Language`
// setting and the language file anew, so a switch reaches the next text shown.
// Safe to call from the opening worker as well as the GUI thread.
class Language {
 public:
  Language(std::string program_dir, const SettingsStore* settings)
      : program_dir_(std::move(program_dir)), settings_(settings) {}

  // The value of key in section; fallback when the file, section or key is
  // absent (a key present with an empty value gives "").
  std::string Text(const std::string& section, const std::string& key,
                   const std::string& fallback) const;

  // The language name read by the last lookup.
  std::string CurrentLanguage() const;
  void SetCurrentLanguage(const std::string& name) const;

  // The language folder (found without regard to case) and a file in it.
  std::string LanguageFolder() const;
  std::string FileOf(const std::string& name) const;

 private:
  std::string program_dir_;
  const SettingsStore* settings_;
  mutable std::mutex current_mutex_;
  mutable std::string current_language_ = "English";
};

}  // namespace kivo
