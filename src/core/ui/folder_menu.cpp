#include "core/ui/folder_menu.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "core/ui/menu_trees.h"

namespace kivo {

std::vector<std::string> FolderEntries(const std::string& folder) {
  std::vector<std::string> names;
  std::error_code error;
  std::filesystem::directory_iterator it(folder, error);
  for (; !error && it != std::filesystem::directory_iterator();
       it.increment(error)) {
    names.push_back(it->path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

std::string WithoutExtension(const std::string& name) {
  size_t dot = name.rfind('.');
  return dot == std::string::npos ? name : name.substr(0, dot);
}

void FillRadioSubmenu(
    MenuModel& menus, const std::string& submenu,
    const std::vector<std::string>& captions,
    const std::function<void(const std::string&)>& on_select) {
  MenuItem& parent = menus.Item(submenu);
  menus.ClearChildren(parent);
  for (const std::string& caption : captions) {
    MenuItem& item = menus.AddChild(parent, caption);
    item.auto_check = true;
    item.radio_group = kRuntimeGroup;
    item.on_click = [on_select, name = item.name] { on_select(name); };
  }
}

void CheckItemsCaptioned(MenuModel& menus, const std::string& submenu,
                         const std::string& wanted) {
  for (auto& item : menus.Item(submenu).children) {
    if (item->caption == wanted) menus.SetChecked(*item, true);
  }
}

}  // namespace kivo
