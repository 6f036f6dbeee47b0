#pragma once

#include <mutex>
#include <string>

#include "core/app/settings_store.h"
#include "core/app/shipped_folders.h"

namespace kivo {

// Texts of the chosen language file. Every lookup reads the `Language`
// setting and the language file anew, so a switch reaches the next text shown.
// Safe to call from the opening worker as well as the GUI thread.
class Language {
 public:
  Language(std::string program_dir, std::string shipped_folder,
           const SettingsStore* settings)
      : program_dir_(std::move(program_dir)),
        shipped_folder_(std::move(shipped_folder)),
        settings_(settings) {}

  // The value of key in section; fallback when the file, section or key is
  // absent (a key present with an empty value gives "").
  std::string Text(const std::string& section, const std::string& key,
                   const std::string& fallback) const;

  // The language name read by the last lookup.
  std::string CurrentLanguage() const;
  void SetCurrentLanguage(const std::string& name) const;

  // The user's language folder (found without regard to case) over the
  // shipped one, and the file of a language in them.
  LayeredFolder Folders() const;
  std::string FileOf(const std::string& name) const;

 private:
  std::string program_dir_;
  std::string shipped_folder_;
  const SettingsStore* settings_;
  mutable std::mutex current_mutex_;
  mutable std::string current_language_ = "English";
};

}  // namespace kivo
