#include "core/ui/shortcuts.h"

namespace kivo {
namespace {

struct ConfigurableShortcut {
  const char* key;
  int default_code;
  int modifier;
  const char* item;
};

constexpr ConfigurableShortcut kShortcuts[] = {
    {"Play", 88, 0, "Play"},
    {"Stop", 86, 0, "Stop"},
    {"Record", 82, 0, "Record1"},
    {"Previous", 90, 0, "Previous"},
    {"Next", 66, 0, "Next"},
    {"AddMedia", 76, 0, "AddMedia"},
    {"AddURl", 76, kShortcutCtrl, "AddUrl"},
    {"AddDirectory", 76, kShortcutShift, "AddDirectory"},
    {"Search", 83, 0, "Search1"},
    {"Queue", 45, 0, "Queue1"},
    {"LoadPlaylist", 79, kShortcutCtrl, "LoadPlaylist"},
    {"SavePlaylist", 83, kShortcutCtrl, "SavePlaylist"},
    {"NewPlaylist", 78, kShortcutCtrl, "Clear"},
    {"Vol_Up", 107, 0, "VolUp1"},
    {"Vol_Down", 109, 0, "VolDown1"},
};

}  // namespace

int ShortcutFromStoredCode(long long code, int modifier) {
  int low = static_cast<int>(code & 0xFFFF);
  if (low == 0 || low > 255) return 0;
  return low | modifier;
}

void ApplyShortcuts(MenuModel& menus, const IniDocument& settings) {
  for (const ConfigurableShortcut& entry : kShortcuts) {
    long long code =
        settings.GetInt("ShortCuts", entry.key, entry.default_code);
    menus.Item(entry.item).shortcut =
        ShortcutFromStoredCode(code, entry.modifier);
  }
}

}  // namespace kivo
