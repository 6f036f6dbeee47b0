#include "core/ui/language.h"

#include "core/ini/ini_file.h"
#include "core/util/case_path.h"

namespace kivo {

std::string Language::Text(const std::string& section, const std::string& key,
                           const std::string& fallback) const {
  std::string name =
      settings_->ReadSettingText("settings", "Language", "English");
  SetCurrentLanguage(name);
  return IniFile(FileOf(name)).ReadText(section, key, fallback);
}

std::string Language::CurrentLanguage() const {
  std::lock_guard lock(current_mutex_);
  return current_language_;
}

void Language::SetCurrentLanguage(const std::string& name) const {
  std::lock_guard lock(current_mutex_);
  current_language_ = name;
}

LayeredFolder Language::Folders() const {
  return LayeredFolder(ResolveIgnoringCase(program_dir_, "language"),
                       shipped_folder_, /*ignore_case=*/true);
}

std::string Language::FileOf(const std::string& name) const {
  return Folders().FileOf(name + ".lng");
}

}  // namespace kivo
