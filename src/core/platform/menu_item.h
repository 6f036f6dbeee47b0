#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace kivo {

// Windows menu shortcut: a virtual-key code plus these modifier bits.
constexpr int kShortcutShift = 0x2000;
constexpr int kShortcutCtrl = 0x4000;
constexpr int kShortcutAlt = 0x8000;

// One item of a popup menu. The tree of items is the only place the options
// live: a check mark is the option's value. The core builds and changes the
// tree; the desktop renders it each time a menu opens and reports clicks by
// item name. A caption "-" is a separator.
struct MenuItem {
  std::string name;
  std::string caption;
  bool checked = false;
  bool enabled = true;
  bool visible = true;
  // Items of one parent with the same non-zero group are radio items.
  int radio_group = 0;
  // Toggles (or, in a radio group, takes) the check mark before on_click runs.
  bool auto_check = false;
  int shortcut = 0;  // 0: none
  std::function<void()> on_click;
  std::vector<std::unique_ptr<MenuItem>> children;

  bool IsSeparator() const { return caption == "-"; }
};

}  // namespace kivo
