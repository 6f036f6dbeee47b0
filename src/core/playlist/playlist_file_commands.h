#pragma once

#include "core/app/context.h"
#include "core/app/player_state.h"
#include "core/playlist/history.h"
#include "core/playlist/playlist_files.h"

namespace kivo {

// "Load Playlist" and "Save Playlist" of the playlist menu: the dialogs, the
// format choice and the history record of a file that was read or written.
class PlaylistFileCommands {
 public:
  PlaylistFileCommands(Context& context, PlayerState& state)
      : context_(context), state_(state), files_(context, state.playlist) {}

  void LoadPlaylistClick();
  void SavePlaylistClick();

 private:
  Context& context_;
  PlayerState& state_;
  PlaylistFiles files_;
};

}  // namespace kivo
