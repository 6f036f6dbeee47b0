#pragma once

#include "core/app/context.h"
#include "core/app/player_state.h"

namespace kivo {

// The startup restore of the playback options, one call each at its place in
// the option restore.
void RestoreProxy(Context& context);
void RestorePlugins(Context& context, PlayerState& state);
void RestoreDevices(Context& context, PlayerState& state);
void RestorePassiveFtp(Context& context);
void RestoreSeekbar(Context& context, PlayerState& state);
// `volume`, clamped to 0..10000, handed to the library.
void RestoreVolume(Context& context, PlayerState& state);

}  // namespace kivo
