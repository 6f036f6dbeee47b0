#pragma once

class QWidget;

namespace kivo::desktop {

// Adds or removes _NET_WM_STATE_SKIP_TASKBAR on a top-level window: through
// the window manager while the window is mapped, on the window's own property
// before it is mapped (Qt merges its own states into that property when it
// maps the window). Does nothing when the platform is not X11.
void SetSkipTaskbar(QWidget* window, bool skip);

}  // namespace kivo::desktop
