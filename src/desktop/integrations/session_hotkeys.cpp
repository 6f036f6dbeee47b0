#include "desktop/integrations/session_hotkeys.h"

#include <cstdlib>

#include "desktop/integrations/portal_hotkey_service.h"
#include "desktop/integrations/x11_hotkey_service.h"

namespace kivo::desktop {

bool IsWaylandSession() {
  const char* display = std::getenv("WAYLAND_DISPLAY");
  return display != nullptr && *display != '\0';
}

SessionHotkeys::SessionHotkeys(bool wayland_session) {
  if (wayland_session) {
    portal_ = std::make_unique<PortalHotkeyService>(nullptr);
    chosen_ = portal_.get();
  } else {
    x11_ = std::make_unique<X11HotkeyService>(nullptr);
    chosen_ = x11_.get();
  }
}

SessionHotkeys::~SessionHotkeys() = default;

void SessionHotkeys::SetShellEvents(ShellEvents* events) {
  if (portal_) portal_->SetShellEvents(events);
  if (x11_) x11_->SetShellEvents(events);
}

bool SessionHotkeys::Register(int id, int modifiers, int virtual_key) {
  return chosen_->Register(id, modifiers, virtual_key);
}

void SessionHotkeys::Unregister(int id) { chosen_->Unregister(id); }

void SessionHotkeys::Describe(int id, const std::string& name) {
  chosen_->Describe(id, name);
}

std::string SessionHotkeys::UnavailableReason() const {
  return chosen_->UnavailableReason();
}

}  // namespace kivo::desktop
