#pragma once

#include <memory>
#include <string>

#include "core/platform/hotkey_service.h"
#include "core/platform/shell_events.h"

namespace kivo::desktop {

class PortalHotkeyService;
class X11HotkeyService;

// True in a Wayland session (WAYLAND_DISPLAY set), even when the window
// itself runs on XWayland.
bool IsWaylandSession();

// The hotkeys of this desktop session: X11 key grabs in an X11 session; in a
// Wayland session the desktop portal's global shortcuts, since grabs there
// only see keys while an XWayland window has the focus. Build after the
// QApplication, destroy before it. GUI thread only.
class SessionHotkeys : public HotkeyService {
 public:
  explicit SessionHotkeys(bool wayland_session = IsWaylandSession());
  ~SessionHotkeys() override;
  SessionHotkeys(const SessionHotkeys&) = delete;
  SessionHotkeys& operator=(const SessionHotkeys&) = delete;

  void SetShellEvents(ShellEvents* events);

  bool Register(int id, int modifiers, int virtual_key) override;
  void Unregister(int id) override;
  void Describe(int id, const std::string& name) override;
  std::string UnavailableReason() const override;

 private:
  std::unique_ptr<PortalHotkeyService> portal_;
  std::unique_ptr<X11HotkeyService> x11_;
  HotkeyService* chosen_;
};

}  // namespace kivo::desktop
