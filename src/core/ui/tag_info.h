#pragma once

#include <string>

#include "core/app/context.h"
#include "core/app/player_state.h"
#include "core/platform/tag_window.h"

namespace kivo {

// The texts, tags and stored position of the tag window for one location.
// The tags come from a decode-only probe that is freed at once; a location
// that does not open shows its file name and whatever the library gives for
// no stream (empty fields).
TagWindowContent TagWindowContentFor(const Context& context,
                                     const std::string& location);

// The `tags1` click: the tag window for the line selected when the playlist
// menu opened, then its position stored.
void ShowTagWindow(Context& context, const PlayerState& state);

}  // namespace kivo
