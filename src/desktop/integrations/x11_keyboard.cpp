#include "desktop/integrations/x11_keyboard.h"

#include <X11/keysym.h>

#include <algorithm>
#include <cstdlib>
#include <memory>

namespace kivo::desktop {
namespace {

struct FreeDeleter {
  void operator()(void* reply) const { std::free(reply); }
};
template <typename Reply>
using ReplyPtr = std::unique_ptr<Reply, FreeDeleter>;

constexpr int kModifierCount = 8;

}  // namespace

std::vector<uint16_t> LockMasks::Combinations() const {
  std::vector<uint16_t> combinations;
  const uint16_t locks[] = {num_lock, caps_lock, scroll_lock};
  for (int subset = 0; subset < 8; ++subset) {
    uint16_t mask = 0;
    for (int bit = 0; bit < 3; ++bit) {
      if ((subset & (1 << bit)) != 0) mask |= locks[bit];
    }
    if (std::find(combinations.begin(), combinations.end(), mask) ==
        combinations.end()) {
      combinations.push_back(mask);
    }
  }
  return combinations;
}

X11Keyboard::X11Keyboard(xcb_connection_t* connection) {
  const xcb_setup_t* setup = xcb_get_setup(connection);
  min_keycode_ = setup->min_keycode;
  const auto count =
      static_cast<uint8_t>(setup->max_keycode - setup->min_keycode + 1);
  const auto keyboard_cookie =
      xcb_get_keyboard_mapping(connection, min_keycode_, count);
  const auto modifier_cookie = xcb_get_modifier_mapping(connection);
  ReplyPtr<xcb_get_keyboard_mapping_reply_t> keyboard(
      xcb_get_keyboard_mapping_reply(connection, keyboard_cookie, nullptr));
  ReplyPtr<xcb_get_modifier_mapping_reply_t> modifiers(
      xcb_get_modifier_mapping_reply(connection, modifier_cookie, nullptr));
  if (keyboard) {
    keysyms_per_keycode_ = keyboard->keysyms_per_keycode;
    const xcb_keysym_t* keysyms =
        xcb_get_keyboard_mapping_keysyms(keyboard.get());
    keysyms_.assign(keysyms, keysyms + xcb_get_keyboard_mapping_keysyms_length(
                                           keyboard.get()));
  }
  if (modifiers) {
    keycodes_per_modifier_ = modifiers->keycodes_per_modifier;
    const xcb_keycode_t* keycodes =
        xcb_get_modifier_mapping_keycodes(modifiers.get());
    modifier_keycodes_.assign(
        keycodes,
        keycodes + xcb_get_modifier_mapping_keycodes_length(modifiers.get()));
  }
}

std::vector<xcb_keycode_t> X11Keyboard::KeycodesFor(uint32_t keysym) const {
  std::vector<xcb_keycode_t> keycodes;
  if (keysym == 0 || keysyms_per_keycode_ == 0) return keycodes;
  const size_t per_key = static_cast<size_t>(keysyms_per_keycode_);
  const size_t keys = keysyms_.size() / per_key;
  // Column by column, so that the key giving it without Shift comes first.
  for (size_t column = 0; column < per_key; ++column) {
    for (size_t key = 0; key < keys; ++key) {
      if (keysyms_[key * per_key + column] != keysym) continue;
      const auto keycode = static_cast<xcb_keycode_t>(min_keycode_ + key);
      if (std::find(keycodes.begin(), keycodes.end(), keycode) ==
          keycodes.end()) {
        keycodes.push_back(keycode);
      }
    }
  }
  return keycodes;
}

xcb_keycode_t X11Keyboard::KeycodeFor(uint32_t keysym) const {
  const auto keycodes = KeycodesFor(keysym);
  return keycodes.empty() ? 0 : keycodes.front();
}

uint16_t X11Keyboard::ModifierMaskOf(uint32_t keysym) const {
  const auto keycodes = KeycodesFor(keysym);
  for (int modifier = 0; modifier < kModifierCount; ++modifier) {
    for (int slot = 0; slot < keycodes_per_modifier_; ++slot) {
      const size_t index =
          static_cast<size_t>(modifier * keycodes_per_modifier_ + slot);
      if (index >= modifier_keycodes_.size()) return 0;
      const xcb_keycode_t keycode = modifier_keycodes_[index];
      if (keycode != 0 && std::find(keycodes.begin(), keycodes.end(),
                                    keycode) != keycodes.end()) {
        return static_cast<uint16_t>(1 << modifier);
      }
    }
  }
  return 0;
}

LockMasks X11Keyboard::Locks() const {
  LockMasks locks;
  locks.num_lock = ModifierMaskOf(XK_Num_Lock);
  locks.scroll_lock = ModifierMaskOf(XK_Scroll_Lock);
  return locks;
}

}  // namespace kivo::desktop
