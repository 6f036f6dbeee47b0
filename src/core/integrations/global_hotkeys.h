#pragma once

#include <array>

#include "core/app/context.h"

namespace kivo {

enum class HotkeyAction {
  kNone,
  kPlay,
  kStop,
  kPrevious,
  kNext,
  kRecord,
  kVolUp,
  kVolDown,
  kSearch
};

// The eight system-wide hotkeys. The key table (section `Hot_keys`) and the
// modifier (`hotkey_key`) are read anew at every registration.
class GlobalHotkeys {
 public:
  explicit GlobalHotkeys(Context& context) : context_(context) {}

  void RegisterHotkeys();
  // All eight, registered or not; every id counts as 0 afterwards.
  void UnregisterHotkeys();
  // The action of a fired id, in the order Play, Stop, Next, Record,
  // Previous, Vol_Up, Vol_Down, Search.
  HotkeyAction Dispatch(int id) const;
  // The `Globalehotkeys1` click, after its mark has toggled. Switching it on
  // where the session offers no hotkeys says why, once per run; the mark
  // stays, so another session still gets them.
  void OptionClicked();

  int IdOf(HotkeyAction action) const;

 private:
  void TellIfUnavailable();

  Context& context_;
  bool told_unavailable_ = false;
  std::array<int, 8> ids_{};  // by table position; 0 when unregistered
};

// The MOD_ value of a `hotkey_key` choice: 0 none, 1 Ctrl, 2 Alt, 3 Shift,
// 4 Windows key, anything else Ctrl.
int HotkeyModifier(long long choice);

}  // namespace kivo
