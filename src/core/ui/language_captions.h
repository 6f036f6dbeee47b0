#pragma once

#include "core/ini/ini_document.h"
#include "core/ui/menu_model.h"

namespace kivo {

// The captions of the playlist menu from one language file (sections "menu",
// "add", "playlist" and "Options"), the plug-in placeholder included. A key
// present with an empty value gives an empty caption.
void ApplyPlaylistMenuCaptions(MenuModel& menus, const IniDocument& language);
// The captions of the tray menu (sections "tray" and "menu").
void ApplyTrayMenuCaptions(MenuModel& menus, const IniDocument& language);

}  // namespace kivo
