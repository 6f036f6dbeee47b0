#pragma once

#include <string>

namespace kivo {

// Windows MOD_ values for the modifier of a global hotkey.
constexpr int kModAlt = 1;
constexpr int kModControl = 2;
constexpr int kModShift = 4;
constexpr int kModWin = 8;

// System-wide hotkeys. The id is the player's own small integer; a key that
// fires arrives as ShellEvents::HotkeyPressed(id). GUI thread only.
class HotkeyService {
 public:
  virtual ~HotkeyService() = default;
  // False when the key cannot be had (held by another client, no X11).
  virtual bool Register(int id, int modifiers, int virtual_key) = 0;
  virtual void Unregister(int id) = 0;
  // A stable name for the hotkey, given before Register: desktops that keep
  // an application's shortcuts in their settings list it under this name.
  virtual void Describe(int /*id*/, const std::string& /*name*/) {}
  // Why no hotkey can fire in this session; empty when they can.
  virtual std::string UnavailableReason() const { return {}; }
};

}  // namespace kivo
