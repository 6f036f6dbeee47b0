#pragma once

#include <QDBusArgument>
#include <QList>
#include <QMetaType>
#include <QString>
#include <QVariantMap>

namespace kivo::desktop {

// One entry of the GlobalShortcuts portal's a(sa{sv}): the shortcut's id and
// its properties ("description", "preferred_trigger").
struct PortalShortcut {
  QString id;
  QVariantMap properties;
};
using PortalShortcutList = QList<PortalShortcut>;

QDBusArgument& operator<<(QDBusArgument& argument,
                          const PortalShortcut& shortcut);
const QDBusArgument& operator>>(const QDBusArgument& argument,
                                PortalShortcut& shortcut);

// Makes the list marshallable; call once before the first D-Bus call.
void RegisterPortalShortcutTypes();

// A hotkey as the freedesktop shortcuts format writes a trigger: modifiers in
// capitals, then the key's XKB name ("CTRL+x", "CTRL+KP_Add"). Empty for a
// virtual-key code without a key of its own.
QString PortalTrigger(int modifiers, int virtual_key);

}  // namespace kivo::desktop

Q_DECLARE_METATYPE(kivo::desktop::PortalShortcut)
Q_DECLARE_METATYPE(kivo::desktop::PortalShortcutList)
