#pragma once

#include <functional>
#include <string>
#include <vector>

#include "core/ui/menu_model.h"

namespace kivo {

// Names of every entry of a folder, folders included, sorted by their bytes
// (the order an NTFS listing gives); empty when the folder cannot be read.
std::vector<std::string> FolderEntries(const std::string& folder);

// The name without the text from its last "." on.
std::string WithoutExtension(const std::string& name);

// Replaces the submenu's items with one self-checking radio item per caption;
// a click calls on_select with the clicked item's name.
void FillRadioSubmenu(MenuModel& menus, const std::string& submenu,
                      const std::vector<std::string>& captions,
                      const std::function<void(const std::string&)>& on_select);

// Checks every item of the submenu captioned exactly as wanted.
void CheckItemsCaptioned(MenuModel& menus, const std::string& submenu,
                         const std::string& wanted);

}  // namespace kivo
