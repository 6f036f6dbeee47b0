#pragma once

class QWidget;

namespace kivo::desktop {

// Adds or removes one _NET_WM_STATE atom ("_NET_WM_STATE_SKIP_TASKBAR",
// "_NET_WM_STATE_ABOVE") on a top-level window: through the window manager
// while the window is mapped, on the window's own property before it is
// mapped (Qt merges its own states into that property when it maps the
// window). False when the platform is not X11.
//
// Qt's own stays-on-top flag is not used on X11 because changing it makes Qt
// destroy and recreate the X window at the next show, which loses every state
// set on the old one.
bool SetNetWmState(QWidget* window, const char* state_name, bool on);

}  // namespace kivo::desktop
