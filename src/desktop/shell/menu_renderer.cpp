#include "desktop/shell/menu_renderer.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <map>

#include "desktop/shell/display_text.h"
#include "desktop/shell/key_map.h"

namespace kivo::desktop {
namespace {

// Qt shows the text after a tab as the shortcut column, for display only:
// the core takes the keys itself.
QString ActionText(const MenuItem& item) {
  QString text = DisplayText(item.caption);
  const QKeySequence sequence = ShortcutSequence(item.shortcut);
  if (!sequence.isEmpty() && !text.contains(QLatin1Char('\t'))) {
    text += QLatin1Char('\t') + sequence.toString(QKeySequence::NativeText);
  }
  return text;
}

void ApplyState(QAction* action, const MenuItem& item) {
  action->setData(QString::fromStdString(item.name));
  action->setEnabled(item.enabled);
  action->setVisible(item.visible);
}

void AddItem(QMenu* menu, const MenuItem& item,
             std::map<int, QActionGroup*>* radio_groups) {
  if (item.IsSeparator()) {
    ApplyState(menu->addSeparator(), item);
    return;
  }
  if (!item.children.empty()) {
    QMenu* submenu = menu->addMenu(DisplayText(item.caption));
    ApplyState(submenu->menuAction(), item);
    FillMenu(submenu, item);
    return;
  }
  QAction* action = menu->addAction(ActionText(item));
  ApplyState(action, item);
  action->setCheckable(item.checked || item.auto_check ||
                       item.radio_group != 0);
  action->setChecked(item.checked);
  if (item.radio_group != 0) {
    QActionGroup*& group = (*radio_groups)[item.radio_group];
    if (group == nullptr) group = new QActionGroup(menu);
    group->addAction(action);
  }
}

}  // namespace

void FillMenu(QMenu* menu, const MenuItem& parent) {
  std::map<int, QActionGroup*> radio_groups;
  for (const auto& child : parent.children) {
    if (child) AddItem(menu, *child, &radio_groups);
  }
}

std::string ExecMenu(const MenuItem& root, const QPoint& global_pos,
                     QWidget* parent) {
  QMenu menu(parent);
  FillMenu(&menu, root);
  const QAction* chosen = menu.exec(global_pos);
  if (chosen == nullptr) return {};
  return chosen->data().toString().toStdString();
}

}  // namespace kivo::desktop
