#pragma once

#include <string>

#include "core/app/context.h"
#include "core/app/player_state.h"
#include "core/platform/shell_events.h"
#include "core/playlist/playlist_hooks.h"

namespace kivo {

// Editing the playlist in place: Remove, New Playlist, the right-click
// selection, reordering by drag and the double-click start. Every edit keeps
// the locations and lines parallel and the playing index on its entry.
class PlaylistEditor {
 public:
  PlaylistEditor(Context& context, PlayerState& state,
                 const PlaylistHooks& hooks)
      : context_(context), state_(state), hooks_(hooks) {}

  void RemoveClick();
  // New Playlist: everything emptied, the queue too; the sound goes on.
  void ClearClick();
  void PlayListMouseDown(MouseButton button, int line);
  void PlayListDblClick();
  // line: the line under the pointer, -1 when none. The selected line is
  // the one being dragged; it moves there at once (there is no drop).
  void PlayListDragOver(int line);

 private:
  void Autosave();

  Context& context_;
  PlayerState& state_;
  const PlaylistHooks& hooks_;
};

// Into the desktop's trash. Fails for anything that is not an existing file
// (an address, a folder, a missing file).
bool DeleteToRecycleBin(DesktopServices& desktop, const std::string& path);

}  // namespace kivo
