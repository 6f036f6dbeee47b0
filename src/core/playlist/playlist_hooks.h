#pragma once

#include <functional>

namespace kivo {

// What the playlist commands need from playback and from the player. Player
// wires every member before the first event arrives.
struct PlaylistHooks {
  // Starts the entry at the playing index (the first one when it is -1).
  std::function<void()> play_entry;
  // Pauses a playing channel or resumes a paused one.
  std::function<void()> play_pause;
  // Moves the current channel to this many seconds.
  std::function<void(double seconds)> seek_to;
  // The seek bar back to the channel: position 0, range its length.
  std::function<void()> reset_seekbar;
  // ChannelIsActive of the current channel.
  std::function<int()> channel_state;
  // VolumeLevel, 0..10000.
  std::function<int()> volume_level;
  // Runs a command that arrived from outside the player's own dispatch (the
  // search window's events) so that nothing thrown escapes to the desktop.
  std::function<void(const std::function<void()>&)> guarded;
};

}  // namespace kivo
