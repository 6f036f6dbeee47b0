#include "desktop/integrations/portal_shortcut.h"

#include <X11/Xlib.h>

#include <QDBusMetaType>

#include "core/platform/hotkey_service.h"
#include "desktop/integrations/x11_key_map.h"

namespace kivo::desktop {

QDBusArgument& operator<<(QDBusArgument& argument,
                          const PortalShortcut& shortcut) {
  argument.beginStructure();
  argument << shortcut.id << shortcut.properties;
  argument.endStructure();
  return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument,
                                PortalShortcut& shortcut) {
  argument.beginStructure();
  argument >> shortcut.id >> shortcut.properties;
  argument.endStructure();
  return argument;
}

void RegisterPortalShortcutTypes() {
  qDBusRegisterMetaType<PortalShortcut>();
  qDBusRegisterMetaType<PortalShortcutList>();
}

QString PortalTrigger(int modifiers, int virtual_key) {
  const uint32_t keysym = KeysymForVirtualKey(virtual_key);
  // XKeysymToString needs no display: the names are compiled in.
  const char* key_name = keysym != 0 ? XKeysymToString(keysym) : nullptr;
  if (key_name == nullptr) return {};
  QString trigger;
  if ((modifiers & kModControl) != 0) trigger += QStringLiteral("CTRL+");
  if ((modifiers & kModAlt) != 0) trigger += QStringLiteral("ALT+");
  if ((modifiers & kModShift) != 0) trigger += QStringLiteral("SHIFT+");
  if ((modifiers & kModWin) != 0) trigger += QStringLiteral("LOGO+");
  return trigger + QString::fromLatin1(key_name);
}

}  // namespace kivo::desktop
