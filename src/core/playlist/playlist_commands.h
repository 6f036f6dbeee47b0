#pragma once

#include "core/app/context.h"
#include "core/app/player_state.h"
#include "core/playlist/media_adder.h"
#include "core/playlist/playlist_editing.h"
#include "core/playlist/playlist_file_commands.h"
#include "core/playlist/playlist_hooks.h"
#include "core/playlist/playlist_keys.h"
#include "core/playlist/queue.h"

namespace kivo {

// Every playlist command of the menus, keys, mouse, drops and the search
// window, over the player's state. Player owns one, fills its hooks and calls
// WireMenus once.
class PlaylistCommands {
 public:
  PlaylistCommands(Context& context, PlayerState& state, Queue& queue)
      : context_(context),
        state_(state),
        queue_(queue),
        files_(context, state),
        adder_(context, state.playlist),
        editor_(context, state, hooks_),
        keys_(context, state, hooks_) {}

  PlaylistHooks& hooks() { return hooks_; }
  MediaAdder& adder() { return adder_; }
  PlaylistEditor& editor() { return editor_; }
  PlaylistKeys& keys() { return keys_; }

  // The click handlers of the playlist's menu items.
  void WireMenus();
  // False when a search window is open already.
  bool OpenSearchWindow();

 private:
  Context& context_;
  PlayerState& state_;
  Queue& queue_;
  PlaylistHooks hooks_;
  PlaylistFileCommands files_;
  MediaAdder adder_;
  PlaylistEditor editor_;
  PlaylistKeys keys_;
};

}  // namespace kivo
