#include "core/app/settings_store.h"

#include "core/util/text.h"

namespace kivo {
namespace {

std::string StoredForm(const std::string& text, SettingKind kind) {
  switch (kind) {
    case SettingKind::kText:
      return text;
    case SettingKind::kInteger:
      return IntText(ParseIniInt(text).value_or(0));
    case SettingKind::kBoolean:
      if (EqualsIgnoreCase(text, "true")) return "1";
      if (EqualsIgnoreCase(text, "false")) return "0";
      return ParseIniInt(text).value_or(0) != 0 ? "1" : "0";
  }
  return text;
}

}  // namespace

void SettingsStore::WriteSetting(const std::string& section,
                                 const std::string& key,
                                 const std::string& text,
                                 SettingKind kind) const {
  if (!file_.WriteText(section, key, StoredForm(text, kind))) {
    throw SettingsWriteError(file_.path());
  }
}

void SettingsStore::WriteText(const std::string& section,
                              const std::string& key,
                              const std::string& text) const {
  WriteSetting(section, key, text, SettingKind::kText);
}

void SettingsStore::WriteInt(const std::string& section, const std::string& key,
                             long long value) const {
  WriteSetting(section, key, IntText(value), SettingKind::kInteger);
}

void SettingsStore::WriteBool(const std::string& section,
                              const std::string& key, bool value) const {
  WriteSetting(section, key, value ? "true" : "false", SettingKind::kBoolean);
}

std::string SettingsStore::ReadSettingText(const std::string& section,
                                           const std::string& key,
                                           const std::string& fallback) const {
  return file_.ReadText(section, key, fallback);
}

long long SettingsStore::ReadSettingInt(const std::string& section,
                                        const std::string& key,
                                        long long fallback) const {
  return file_.ReadInt(section, key, fallback);
}

bool SettingsStore::ReadSettingBool(const std::string& section,
                                    const std::string& key,
                                    bool fallback) const {
  return ReadBool(file_.Load(), section, key, fallback);
}

bool ReadBool(const IniDocument& document, const std::string& section,
              const std::string& key, bool fallback) {
  return document.GetInt(section, key, fallback ? 1 : 0) != 0;
}

}  // namespace kivo
