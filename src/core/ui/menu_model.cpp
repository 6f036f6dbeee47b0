#include "core/ui/menu_model.h"

#include "core/ui/menu_trees.h"

namespace kivo {
namespace {

template <typename Item, typename Visit>
Item* FindIn(Item& root, const Visit& matches) {
  if (matches(root)) return &root;
  for (auto& child : root.children) {
    if (Item* found = FindIn<Item>(*child, matches)) return found;
  }
  return nullptr;
}

MenuItem* FindParent(MenuItem& root, const MenuItem& item) {
  for (auto& child : root.children) {
    if (child.get() == &item) return &root;
    if (MenuItem* found = FindParent(*child, item)) return found;
  }
  return nullptr;
}

MenuItem* FindShortcutIn(MenuItem& root, int shortcut) {
  for (auto& child : root.children) {
    if (!child->enabled || !child->visible) continue;
    if (child->shortcut == shortcut && !child->IsSeparator()) {
      return child.get();
    }
    if (MenuItem* found = FindShortcutIn(*child, shortcut)) return found;
  }
  return nullptr;
}

}  // namespace

MenuModel::MenuModel()
    : playlist_menu_(BuildPlaylistMenu()), tray_menu_(BuildTrayMenu()) {}

MenuItem* MenuModel::Find(const std::string& name) {
  auto matches = [&](const MenuItem& item) { return item.name == name; };
  if (MenuItem* found = FindIn(*playlist_menu_, matches)) return found;
  return FindIn(*tray_menu_, matches);
}

const MenuItem* MenuModel::Find(const std::string& name) const {
  return const_cast<MenuModel*>(this)->Find(name);
}

MenuItem& MenuModel::Item(const std::string& name) { return *Find(name); }

const MenuItem& MenuModel::Item(const std::string& name) const {
  return *Find(name);
}

MenuItem* MenuModel::ParentOf(const MenuItem& item) {
  if (MenuItem* parent = FindParent(*playlist_menu_, item)) return parent;
  return FindParent(*tray_menu_, item);
}

bool MenuModel::Checked(const std::string& name) const {
  const MenuItem* item = Find(name);
  return item && item->checked;
}

void MenuModel::SetChecked(const std::string& name, bool checked) {
  if (MenuItem* item = Find(name)) SetChecked(*item, checked);
}

void MenuModel::SetChecked(MenuItem& item, bool checked) {
  if (checked && item.radio_group != 0) {
    if (MenuItem* parent = ParentOf(item)) {
      for (auto& sibling : parent->children) {
        if (sibling->radio_group == item.radio_group) sibling->checked = false;
      }
    }
  }
  item.checked = checked;
}

void MenuModel::SetEnabled(const std::string& name, bool enabled) {
  if (MenuItem* item = Find(name)) item->enabled = enabled;
}

void MenuModel::SetVisible(const std::string& name, bool visible) {
  if (MenuItem* item = Find(name)) item->visible = visible;
}

void MenuModel::SetCaption(const std::string& name,
                           const std::string& caption) {
  if (MenuItem* item = Find(name)) item->caption = caption;
}

void MenuModel::OnClick(const std::string& name,
                        std::function<void()> handler) {
  if (MenuItem* item = Find(name)) item->on_click = std::move(handler);
}

bool MenuModel::Click(const std::string& name) {
  MenuItem* item = Find(name);
  if (!item || !item->enabled) return false;
  if (item->auto_check) {
    SetChecked(*item, item->radio_group != 0 ? true : !item->checked);
  }
  if (item->on_click) {
    auto handler = item->on_click;  // the handler may rebuild this very item
    handler();
  }
  return true;
}

MenuItem* MenuModel::FindByShortcut(int shortcut) {
  if (shortcut == 0) return nullptr;
  if (MenuItem* found = FindShortcutIn(*playlist_menu_, shortcut)) {
    return found;
  }
  return FindShortcutIn(*tray_menu_, shortcut);
}

MenuItem& MenuModel::AddChild(MenuItem& parent, const std::string& caption) {
  auto item = std::make_unique<MenuItem>();
  item->name = parent.name + "_item" + std::to_string(++next_generated_);
  item->caption = caption;
  parent.children.push_back(std::move(item));
  return *parent.children.back();
}

void MenuModel::ClearChildren(MenuItem& parent) { parent.children.clear(); }

}  // namespace kivo
