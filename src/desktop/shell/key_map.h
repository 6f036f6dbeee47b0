#pragma once

#include <QKeySequence>

#include "core/platform/shell_events.h"

class QKeyEvent;

namespace kivo::desktop {

// The Windows virtual-key code of a Qt key; 0 when it has none. The core and
// settings.ini speak virtual-key codes (88 is X, 107 is keypad +).
int VirtualKeyOf(int qt_key, bool keypad);
int VirtualKeyOf(const QKeyEvent& event);

// The shift state as a Windows key handler saw it: a modifier key counts as
// held while it is pressed and as released when it is let go, while X11
// reports the state from before the event.
ShiftState ShiftStateOf(const QKeyEvent& event);

// A menu shortcut (virtual key plus kShortcutShift/Ctrl/Alt) as Qt shows it;
// empty for 0 or a key Qt cannot name.
QKeySequence ShortcutSequence(int shortcut);

}  // namespace kivo::desktop

namespace kivo::desktop {

// The core's name of a mouse button; other buttons count as the left one.
MouseButton MouseButtonOf(Qt::MouseButton button);

// Hands a key press of the main window to the core; true when a menu
// shortcut took it. Keys without a virtual-key code are not reported.
bool ReportKeyPress(ShellEvents* events, const QKeyEvent& event);
// Key releases; X11's auto-repeat releases are not reported, as Windows sends
// none.
void ReportKeyRelease(ShellEvents* events, const QKeyEvent& event);

}  // namespace kivo::desktop
