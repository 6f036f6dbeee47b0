#pragma once

#include "core/app/context.h"
#include "core/playlist/playlist_files.h"
#include "core/playlist/playlist_model.h"

namespace kivo {

// FileList to temp.tmp in the program folder, then `LastPlayed` names it;
// written in the background by the context's AutosaveWriter. Failures are
// silent and change nothing.
void AutosavePlaylist(Context& context, const PlaylistModel& model);

// The playlist named by `LastPlayed`, through the loader of its extension.
void RestorePlaylist(Context& context, PlaylistModel& model,
                     PlaylistFiles& files);

// With "Remember Playlist" off the next start restores nothing.
void ForgetPlaylistIfNotRemembered(Context& context);

}  // namespace kivo
