#include "core/app/player.h"
#include "core/integrations/now_playing_notice.h"
#include "core/playlist/autosave.h"

namespace kivo {

bool Player::CloseRequest() {
  bool may_close = true;
  Guarded([&] {
    ForgetPlaylistIfNotRemembered(context_);
    // Without a tray host a hidden window could never be brought back.
    may_close = !context_.menus.Checked("CloseToTray1") ||
                state_.ending_session || !context_.platform.tray.Available();
    if (!may_close) {
      context_.platform.tray.HideMainWindow();
      context_.platform.tray.SetIconVisible(true);
      state_.window_hidden = true;
    }
  });
  return may_close;
}

void Player::EndSession() {
  state_.ending_session = true;
  // The session may end the process before the window closes.
  context_.autosave.Flush();
}

void Player::Shutdown() {
  context_.autosave.Flush();
  hotkeys_.UnregisterHotkeys();
  Guarded([&] { WriteWindowPlacement(); });
  SendNowPlaying(context_, state_.playlist, std::string(), false);
  AudioLibrary::Handle channel = state_.playback.current_channel;
  state_.playlist = PlaylistModel{};
  state_.queue_list.clear();
  state_.history_list.clear();
  state_.plugin_names.clear();
  state_.plugin_handles.clear();
  state_.submission_queue.clear();
  context_.platform.tray.SetIconVisible(false);
  ReleaseAudio(channel);
}

void Player::WriteWindowPlacement() {
  MainWindow& window = context_.platform.window;
  SettingsStore& settings = context_.settings;
  settings.WriteInt("Size", "Width", window.ClientWidth());
  int height = context_.menus.Checked("SlimMode") ? state_.saved_client_height
                                                  : window.ClientHeight();
  settings.WriteInt("Size", "Height", height);
  settings.WriteInt("Main.Position", "Left", window.Left());
  settings.WriteInt("Main.Position", "Top", window.Top());
}

void Player::ReleaseAudio(AudioLibrary::Handle channel) {
  AudioLibrary& audio = context_.platform.audio;
  audio.ChannelStop(channel);
  audio.Free();
  audio.PluginFree(0);
}

}  // namespace kivo
