#pragma once

namespace kivo::desktop {

// Keeps the window on X11 (XWayland) in a Wayland session whenever an X
// display is there: always on top, snapping to the work area and the taskbar
// switch need X11. A platform the user chose (QT_QPA_PLATFORM) stays; with
// no X display Qt picks what it can. Call before the QApplication exists.
void PreferX11Window();

}  // namespace kivo::desktop
