#pragma once

#include "core/ini/ini_document.h"
#include "core/ui/menu_model.h"

namespace kivo {

// The menu shortcut of a stored key code with the item's fixed modifier: only
// the low 16 bits count, and a code above 255 gives no shortcut (0).
int ShortcutFromStoredCode(long long code, int modifier);

// Sets the fifteen configurable shortcuts from section `ShortCuts`.
void ApplyShortcuts(MenuModel& menus, const IniDocument& settings);

}  // namespace kivo
