#pragma once

#include "core/app/context.h"
#include "core/app/player_state.h"

namespace kivo {

// Attaches the handlers of the window shell's menu items: the window options,
// About, Donate, the playing title, Close and Tags.
void WireShellMenus(Context& context, PlayerState& state);

}  // namespace kivo
