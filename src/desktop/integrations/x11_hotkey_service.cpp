#include "desktop/integrations/x11_hotkey_service.h"

#include <QByteArray>
#include <QGuiApplication>
#include <algorithm>
#include <cstdlib>

#include "desktop/integrations/x11_key_map.h"
#include "desktop/integrations/x11_keyboard.h"

namespace kivo::desktop {
namespace {

// The modifier bits a key event's state can carry; the rest are buttons.
constexpr uint16_t kKeyModifierBits = 0xFF;

xcb_connection_t* QtX11Connection() {
  auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
  if (app == nullptr ||
      QGuiApplication::platformName() != QStringLiteral("xcb")) {
    return nullptr;
  }
  auto* x11 = app->nativeInterface<QNativeInterface::QX11Application>();
  return x11 != nullptr ? x11->connection() : nullptr;
}

// Waits until the server has carried out every request sent so far, so that
// a released key is free for other clients when the call returns.
void Sync(xcb_connection_t* connection) {
  std::free(xcb_get_input_focus_reply(
      connection, xcb_get_input_focus(connection), nullptr));
}

}  // namespace

uint16_t X11ModifiersOf(int modifiers) {
  uint16_t bits = 0;
  if ((modifiers & kModAlt) != 0) bits |= XCB_MOD_MASK_1;
  if ((modifiers & kModControl) != 0) bits |= XCB_MOD_MASK_CONTROL;
  if ((modifiers & kModShift) != 0) bits |= XCB_MOD_MASK_SHIFT;
  if ((modifiers & kModWin) != 0) bits |= XCB_MOD_MASK_4;
  return bits;
}

X11HotkeyService::X11HotkeyService(ShellEvents* events)
    : events_(events), connection_(QtX11Connection()) {
  if (connection_ == nullptr) return;
  for (auto it = xcb_setup_roots_iterator(xcb_get_setup(connection_)); it.rem;
       xcb_screen_next(&it)) {
    roots_.push_back(it.data->root);
  }
  QCoreApplication::instance()->installNativeEventFilter(this);
}

X11HotkeyService::~X11HotkeyService() {
  // Qt's connection goes with the application; without it there is nothing
  // left to release.
  if (connection_ == nullptr || QCoreApplication::instance() == nullptr) return;
  QCoreApplication::instance()->removeNativeEventFilter(this);
  for (const Hotkey& hotkey : hotkeys_) Ungrab(hotkey);
  Sync(connection_);
}

bool X11HotkeyService::Register(int id, int modifiers, int virtual_key) {
  if (connection_ == nullptr) return false;
  Unregister(id);
  const X11Keyboard keyboard(connection_);
  Hotkey hotkey;
  hotkey.id = id;
  hotkey.keycode = keyboard.KeycodeFor(KeysymForVirtualKey(virtual_key));
  hotkey.modifiers = X11ModifiersOf(modifiers);
  if (hotkey.keycode == 0) return false;
  // The same keys under another id: the server would not tell the two apart.
  for (const Hotkey& other : hotkeys_) {
    if (other.keycode == hotkey.keycode &&
        other.modifiers == hotkey.modifiers) {
      return false;
    }
  }
  const LockMasks locks = keyboard.Locks();
  hotkey.lock_sets = locks.Combinations();
  if (!Grab(hotkey)) return false;
  lock_bits_ |= locks.All();
  hotkeys_.push_back(hotkey);
  return true;
}

void X11HotkeyService::Unregister(int id) {
  const auto it =
      std::find_if(hotkeys_.begin(), hotkeys_.end(),
                   [id](const Hotkey& hotkey) { return hotkey.id == id; });
  if (it == hotkeys_.end()) return;
  Ungrab(*it);
  Sync(connection_);
  hotkeys_.erase(it);
}

std::string X11HotkeyService::UnavailableReason() const {
  if (connection_ != nullptr) return {};
  return "Global hotkeys are off: they need an X11 display.";
}

bool X11HotkeyService::Grab(const Hotkey& hotkey) {
  std::vector<xcb_void_cookie_t> cookies;
  for (xcb_window_t root : roots_) {
    for (uint16_t locks : hotkey.lock_sets) {
      cookies.push_back(xcb_grab_key_checked(
          connection_, 0, root, hotkey.modifiers | locks, hotkey.keycode,
          XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC));
    }
  }
  bool all_granted = true;
  for (const xcb_void_cookie_t cookie : cookies) {
    if (xcb_generic_error_t* error = xcb_request_check(connection_, cookie)) {
      all_granted = false;  // BadAccess: another client holds the key
      std::free(error);
    }
  }
  // Half a hotkey would fire only with some lock keys lit; take none of it.
  if (!all_granted) Ungrab(hotkey);
  return all_granted;
}

void X11HotkeyService::Ungrab(const Hotkey& hotkey) {
  for (xcb_window_t root : roots_) {
    for (uint16_t locks : hotkey.lock_sets) {
      xcb_ungrab_key(connection_, hotkey.keycode, root,
                     hotkey.modifiers | locks);
    }
  }
}

bool X11HotkeyService::nativeEventFilter(const QByteArray& event_type,
                                         void* message, qintptr*) {
  if (event_type != QByteArrayLiteral("xcb_generic_event_t")) return false;
  const auto* event = static_cast<const xcb_generic_event_t*>(message);
  if ((event->response_type & 0x7F) != XCB_KEY_PRESS) return false;
  const auto* press = static_cast<const xcb_key_press_event_t*>(message);
  const uint16_t modifiers = press->state & kKeyModifierBits & ~lock_bits_;
  for (const Hotkey& hotkey : hotkeys_) {
    if (hotkey.keycode != press->detail || hotkey.modifiers != modifiers) {
      continue;
    }
    if (events_ != nullptr) events_->HotkeyPressed(hotkey.id);
    return true;
  }
  return false;
}

}  // namespace kivo::desktop
