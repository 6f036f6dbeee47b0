#pragma once

#include "core/app/context.h"
#include "core/app/player_state.h"
#include "core/platform/shell_events.h"
#include "core/playlist/playlist_hooks.h"

namespace kivo {

// The keys of the playlist that no menu shortcut took. They never consume the
// key: the list's own handling (moving the selection) runs afterwards.
class PlaylistKeys {
 public:
  PlaylistKeys(Context& context, PlayerState& state, const PlaylistHooks& hooks)
      : context_(context), state_(state), hooks_(hooks) {}

  // With Shift alone every key (Shift itself and its repeats too) shows the
  // volume in the seek bar and caption; Shift+Delete moves the selected file
  // to the trash. Without modifiers: seeking, play, pause, first and last
  // line and the Esc function.
  void PlayListKeyDown(int virtual_key, ShiftState shift);
  // The first key released ends the volume display.
  void PlayListKeyUp(int virtual_key, ShiftState shift);

 private:
  void ShowVolume();
  void DeleteSelectedFile();
  void PlainKey(int virtual_key);
  void SeekBy(long long step_seconds);
  void EscapeFunction();

  Context& context_;
  PlayerState& state_;
  const PlaylistHooks& hooks_;
};

}  // namespace kivo
