#pragma once

namespace kivo::desktop {

// Keeps the window on X11 (XWayland) in a Wayland session whenever an X
// display is there: always on top, snapping to the work area and the taskbar
// switch need X11. A platform the user chose (QT_QPA_PLATFORM) stays; with
// no X display Qt picks what it can. Call before the QApplication exists.
void PreferX11Window();
// Paints on X11 through the socket instead of MIT-SHM: with shared memory
// Qt waits for the X server after each paint before the next one may touch
// the memory, a round trip that wakes the GUI and the X reader thread every
// second while the seek bar moves. Our repaints are a few kilobytes. A value
// the user set stays. Call before the QApplication exists.
void PaintWithoutSharedMemory();

}  // namespace kivo::desktop
