#pragma once

#include "core/app/context.h"
#include "core/app/player_state.h"

namespace kivo {

// Reads every stored option back at startup, in its fixed order, sets the
// check marks and applies them.
void OptionRestore(Context& context, PlayerState& state);

}  // namespace kivo
