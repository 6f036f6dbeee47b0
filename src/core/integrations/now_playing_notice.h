#pragma once

#include <string>

#include "core/app/context.h"
#include "core/playlist/playlist_model.h"

namespace kivo {

// Announces the playing title to the desktop: a stream's text as given, a
// local file's title from its tags; the empty text while the option is off.
void SendNowPlaying(Context& context, const PlaylistModel& model,
                    const std::string& text, bool enabled);

// The `MSNSong1` click, after its mark has toggled.
void NowPlayingOptionClicked(Context& context, const PlaylistModel& model);

}  // namespace kivo
