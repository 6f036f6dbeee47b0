#include "core/app/player.h"
#include "core/playlist/length_probe.h"

namespace kivo {
namespace {

// The channel operations the playlist keys need, done directly on the
// current channel for as long as the playback controller does not offer them.
void PlayPauseChannel(AudioLibrary& audio, AudioLibrary::Handle channel) {
  int active = audio.ChannelIsActive(channel);
  if (active == AudioLibrary::kActivePlaying) {
    audio.ChannelPause(channel);
  } else if (active == AudioLibrary::kActivePaused) {
    audio.ChannelPlay(channel, false);
  }
}

void ResetSeekbarTo(MainWindow& window, AudioLibrary& audio,
                    AudioLibrary::Handle channel) {
  window.SetSeekbarPosition(0);
  window.SetSeekbarEnabled(false);
  long long seconds =
      WholeSecondsOf(audio, channel, audio.ChannelGetLength(channel, 0));
  if (seconds < 0 || seconds > 1'000'000'000) return;
  window.SetSeekbarEnabled(true);
  window.SetSeekbarRange(static_cast<int>(seconds));
}

}  // namespace

void Player::WirePlaylist() {
  PlaylistHooks& hooks = playlist_commands_.hooks();
  AudioLibrary& audio = context_.platform.audio;
  MainWindow& window = context_.platform.window;
  AudioLibrary::Handle& channel = state_.playback.current_channel;
  hooks.play_entry = [this] { playback_.PlayEntry(); };
  hooks.channel_state = [this] { return playback_.ChannelState(); };
  hooks.play_pause = [&audio, &channel] { PlayPauseChannel(audio, channel); };
  hooks.seek_to = [&audio, &channel](double seconds) {
    audio.ChannelSetPosition(channel,
                             audio.ChannelSeconds2Bytes(channel, seconds), 0);
  };
  hooks.reset_seekbar = [&window, &audio, &channel] {
    ResetSeekbarTo(window, audio, channel);
  };
  hooks.volume_level = [this] {
    return static_cast<int>(
        context_.settings.ReadSettingInt("settings", "volume", 5000));
  };
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
  Guarded([&] { playlist_commands_.adder().DroppedFiles(paths); });
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
