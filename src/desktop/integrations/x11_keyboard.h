#pragma once

#include <xcb/xcb.h>

#include <cstdint>
#include <vector>

namespace kivo::desktop {

// The modifier bits that lock keys add to a key press.
struct LockMasks {
  uint16_t num_lock = 0;  // whichever ModN NumLock sits on; 0 when none
  uint16_t caps_lock = XCB_MOD_MASK_LOCK;
  uint16_t scroll_lock = 0;

  uint16_t All() const { return num_lock | caps_lock | scroll_lock; }
  // Every combination of the lock bits, none first, without repeats.
  std::vector<uint16_t> Combinations() const;
};

// The server's keyboard and modifier mapping, read once at construction.
class X11Keyboard {
 public:
  explicit X11Keyboard(xcb_connection_t* connection);

  // The first key that produces the keysym (unshifted first); 0 when none.
  xcb_keycode_t KeycodeFor(uint32_t keysym) const;
  LockMasks Locks() const;

 private:
  std::vector<xcb_keycode_t> KeycodesFor(uint32_t keysym) const;
  uint16_t ModifierMaskOf(uint32_t keysym) const;

  xcb_keycode_t min_keycode_ = 0;
  int keysyms_per_keycode_ = 0;
  std::vector<xcb_keysym_t> keysyms_;
  int keycodes_per_modifier_ = 0;
  std::vector<xcb_keycode_t> modifier_keycodes_;
};

}  // namespace kivo::desktop
