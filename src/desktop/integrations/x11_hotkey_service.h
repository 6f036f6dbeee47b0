#pragma once

#include <xcb/xcb.h>

#include <QAbstractNativeEventFilter>
#include <cstdint>
#include <string>
#include <vector>

#include "core/platform/hotkey_service.h"
#include "core/platform/shell_events.h"

namespace kivo::desktop {

// Global hotkeys as passive key grabs on the root windows, made on Qt's own
// xcb connection: the key presses then arrive through Qt's native event filter
// on the GUI thread, with no second connection or thread to keep. Each key is
// grabbed once for every state of NumLock, CapsLock and ScrollLock, so a lit
// lock key does not switch the hotkeys off. A key another client holds makes
// Register fail (the grab's BadAccess is read back from a checked request).
// Without an X11 session (another Qt platform, no display) nothing registers.
// GUI thread only; destroy it before the QGuiApplication.
class X11HotkeyService : public HotkeyService,
                         public QAbstractNativeEventFilter {
 public:
  explicit X11HotkeyService(ShellEvents* events);
  ~X11HotkeyService() override;
  X11HotkeyService(const X11HotkeyService&) = delete;
  X11HotkeyService& operator=(const X11HotkeyService&) = delete;

  // For a core built after the desktop.
  void SetShellEvents(ShellEvents* events) { events_ = events; }
  bool available() const { return connection_ != nullptr; }

  bool Register(int id, int modifiers, int virtual_key) override;
  void Unregister(int id) override;
  std::string UnavailableReason() const override;

  bool nativeEventFilter(const QByteArray& event_type, void* message,
                         qintptr* result) override;

 private:
  struct Hotkey {
    int id = 0;
    xcb_keycode_t keycode = 0;
    uint16_t modifiers = 0;           // X modifier bits, locks excluded
    std::vector<uint16_t> lock_sets;  // the lock combinations grabbed
  };

  bool Grab(const Hotkey& hotkey);
  void Ungrab(const Hotkey& hotkey);

  ShellEvents* events_;
  xcb_connection_t* connection_ = nullptr;
  std::vector<xcb_window_t> roots_;
  uint16_t lock_bits_ = 0;  // all lock bits seen at registrations
  std::vector<Hotkey> hotkeys_;
};

// The X modifier bits of Windows MOD_ flags (Alt is Mod1, Win is Mod4).
uint16_t X11ModifiersOf(int modifiers);

}  // namespace kivo::desktop
