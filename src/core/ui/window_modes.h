#pragma once

#include <optional>
#include <string>

#include "core/app/context.h"
#include "core/app/player_state.h"

namespace kivo {

// The system-menu command text for a translated "Slim Mode".
std::string SlimCommandText(const std::string& slim_mode_text);

// The Transparent item and alpha (255 opaque) of a percentage of
// transparency: 20, 40, 50, 60 or 80; std::nullopt for any other.
struct TransparencyStep {
  int percent;
  const char* item;
  int alpha_0_255;
};
std::optional<TransparencyStep> TransparencyOf(long long percent);

// Attaches the click handlers of the window options (Options > General, Time
// Display, Transparent, ESC Key Function) and of the tray menu's Close.
void WireWindowModes(Context& context, PlayerState& state);

// Slim mode follows the `SlimMode` item: a zero-height client area, or the
// height from before; the system-menu command mirrors the item.
void ApplySlimMode(Context& context, PlayerState& state);
// The system-menu command: toggles the command and the item, then applies.
void SlimModeCommand(Context& context, PlayerState& state);
void ApplyTransparency(Context& context, const TransparencyStep& step);
// The level bars and their timer follow the `Vis` item.
void ApplyLevelMeter(Context& context);
// Minimize to tray only where a tray host can bring the window back.
void ApplyMinimizeToTray(Context& context);

// A left click on the tray icon: hides or shows the window.
void TrayToggle(Context& context, PlayerState& state);
void WindowFirstShown(Context& context);
void ApplicationRestored(Context& context, PlayerState& state);

}  // namespace kivo
