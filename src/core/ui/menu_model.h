#pragma once

#include <functional>
#include <memory>
#include <string>

#include "core/platform/menu_item.h"

namespace kivo {

// The two popup menus. Item names are unique across both trees; every
// option's state is the check mark of its item.
class MenuModel {
 public:
  MenuModel();

  MenuItem& playlist_menu() { return *playlist_menu_; }
  MenuItem& tray_menu() { return *tray_menu_; }
  const MenuItem& playlist_menu() const { return *playlist_menu_; }
  const MenuItem& tray_menu() const { return *tray_menu_; }

  // nullptr when no item has that name.
  MenuItem* Find(const std::string& name);
  const MenuItem* Find(const std::string& name) const;
  // The item, which must exist (names are the program's own).
  MenuItem& Item(const std::string& name);
  const MenuItem& Item(const std::string& name) const;
  MenuItem* ParentOf(const MenuItem& item);

  bool Checked(const std::string& name) const;
  // Checking a radio item unchecks the others of its group.
  void SetChecked(const std::string& name, bool checked);
  void SetChecked(MenuItem& item, bool checked);
  void SetEnabled(const std::string& name, bool enabled);
  void SetVisible(const std::string& name, bool visible);
  void SetCaption(const std::string& name, const std::string& caption);
  void OnClick(const std::string& name, std::function<void()> handler);

  // The click of a user: auto-check first, then the handler. False when no
  // such item exists or it is disabled.
  bool Click(const std::string& name);
  // The enabled, visible item with this shortcut (its submenus enabled and
  // visible too), or nullptr.
  MenuItem* FindByShortcut(int shortcut);

  // Run-time items: appended to parent with a generated unique name.
  MenuItem& AddChild(MenuItem& parent, const std::string& caption);
  void ClearChildren(MenuItem& parent);

 private:
  std::unique_ptr<MenuItem> playlist_menu_;
  std::unique_ptr<MenuItem> tray_menu_;
  int next_generated_ = 0;
};

// Windows shortcut value: virtual key + modifier bits.
constexpr int Shortcut(int virtual_key, int modifiers = 0) {
  return virtual_key | modifiers;
}

}  // namespace kivo
