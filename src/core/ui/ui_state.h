#pragma once

#include <functional>
#include <string>

#include "core/platform/main_window.h"

namespace kivo {

// What the window shows of the theme; a theme that stops at a bad colour keeps
// the values before it, so the current look is remembered here.
struct ThemeLooks {
  PlaylistLook playlist;
  BarLook seekbar;
  BarLook level_left;
  BarLook level_right;
};

// State of the window modes, menus and tag window.
struct UiState {
  // The location of the line selected when the playlist menu last opened.
  std::string popup_location;
  // The Slim Mode command of the system menu exists from the option restore on.
  bool slim_command_added = false;
  bool slim_command_checked = false;
  // The alpha used when a stored transparency matches none of the items.
  int alpha_0_255 = 255;
  ThemeLooks looks;
};

// Operations of other subsystems that the window shell starts or asks about.
// Each is filled by its owner when it is wired; an empty one means the
// subsystem is not there.
struct ShellHooks {
  // Starts the Last.fm handshake on its own worker.
  std::function<void()> start_scrobbler_handshake;
  // Registers (true) or releases (false) the global hotkeys.
  std::function<void(bool)> apply_global_hotkeys;
  // Whether a stream recording runs now.
  std::function<bool()> recording_active;
};

}  // namespace kivo
