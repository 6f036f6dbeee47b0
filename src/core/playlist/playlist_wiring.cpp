#include "core/app/player.h"
#include "core/playback/time_display.h"

namespace kivo {

void Player::WirePlaylist() {
  PlaylistHooks& hooks = playlist_commands_.hooks();
  PlaybackHooks& playback_hooks = playback_.hooks();
  playback_hooks.pop_queue = [this] { return queue_.PopQueue(); };
  playback_hooks.unqueue_started = [this] { queue_.UnqueueStarted(); };
  hooks.play_entry = [this] { playback_.PlayEntry(); };
  hooks.channel_state = [this] { return playback_.ChannelState(); };
  hooks.play_pause = [this] { playback_.PlayPause(); };
  hooks.seek_to = [this](double seconds) { playback_.SeekToSeconds(seconds); };
  hooks.reset_seekbar = [this] { ResetSeekbar(context_, state_.playback); };
  hooks.volume_level = [this] { return state_.playback.volume_level; };
  hooks.guarded = [this](const std::function<void()>& command) {
    Guarded(command);
  };
  playlist_commands_.WireMenus();
}

void Player::PlaylistMouseDown(MouseButton button, int line) {
  playlist_commands_.editor().PlayListMouseDown(button, line);
}

void Player::PlaylistDoubleClick() {
  Guarded([&] { playlist_commands_.editor().PlayListDblClick(); });
}

void Player::PlaylistDragOver(int line) {
  Guarded([&] { playlist_commands_.editor().PlayListDragOver(line); });
}

void Player::FilesDropped(const std::vector<std::string>& paths) {
  GuardedWhenFree(
      [this, paths] { playlist_commands_.adder().DroppedFiles(paths); });
}

void Player::KeyUp(int virtual_key, ShiftState shift) {
  Guarded([&] { playlist_commands_.keys().PlayListKeyUp(virtual_key, shift); });
}

bool Player::OpenSearchWindow() {
  bool opened = false;
  Guarded([&] { opened = playlist_commands_.OpenSearchWindow(); });
  return opened;
}

}  // namespace kivo
