#pragma once

#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QString>
#include <QTimer>
#include <memory>
#include <string>

#include "core/platform/menu_item.h"

namespace kivo::desktop::testing {

inline MenuItem& AddMenuItem(MenuItem* parent, const std::string& name,
                             const std::string& caption) {
  auto item = std::make_unique<MenuItem>();
  item->name = name;
  item->caption = caption;
  parent->children.push_back(std::move(item));
  return *parent->children.back();
}

// Once the next popup menu is open, picks the action whose item name is
// `name` as a user would, with the keyboard.
inline void ChooseInNextPopup(const std::string& name) {
  QTimer::singleShot(0, [name] {
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    if (menu == nullptr) return;
    for (QAction* action : menu->actions()) {
      if (action->data().toString().toStdString() == name) {
        menu->setActiveAction(action);
      }
    }
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QCoreApplication::sendEvent(menu, &enter);
  });
}

}  // namespace kivo::desktop::testing
