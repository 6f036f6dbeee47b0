#pragma once

#include "core/app/context.h"
#include "core/app/player_state.h"

namespace kivo {

// What the popup rules need to know at the moment a menu opens.
struct PopupFacts {
  int channel_state = 0;  // 0 stopped, 1 playing, 2 stalled, 3 paused
  int selected_line = -1;
  bool recording_active = false;
  int volume_0_10000 = 5000;
};

// Enables, disables and renames the playlist menu's items for the selection
// and the playing channel; remembers the selected location for the tag window.
void PlayListMenuPopup(Context& context, PlayerState& state,
                       const PopupFacts& facts);
// The same for the tray menu, which acts on the playing entry instead.
void TrayMenuPopup(Context& context, const PlayerState& state,
                   const PopupFacts& facts);

}  // namespace kivo
