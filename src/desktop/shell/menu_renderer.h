#pragma once

#include <string>

#include "core/platform/menu_item.h"

class QMenu;
class QPoint;
class QWidget;

namespace kivo::desktop {

// Fills menu with the children of parent as they are now: captions with their
// "&" accelerators, separators, check and radio marks, enabled and visible
// states and the shortcut text. Each action carries its item's name
// (QAction::data). The menus are rebuilt at every opening, so nothing here
// follows later changes of the tree.
void FillMenu(QMenu* menu, const MenuItem& parent);

// Shows the children of root as a popup at global_pos and returns the name of
// the item the user clicked, empty when the menu closed without a click.
std::string ExecMenu(const MenuItem& root, const QPoint& global_pos,
                     QWidget* parent);

}  // namespace kivo::desktop
