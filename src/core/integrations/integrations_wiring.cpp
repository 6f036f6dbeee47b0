#include "core/app/player.h"
#include "core/integrations/now_playing_notice.h"
#include "core/playback/volume_meter.h"

namespace kivo {

void Player::WireIntegrations() {
  MenuModel& menus = context_.menus;
  menus.OnClick("LastFM1", [this] { lastfm_.OptionClicked(); });
  menus.OnClick("Globalehotkeys1", [this] { hotkeys_.OptionClicked(); });
  menus.OnClick("MSNSong1",
                [this] { NowPlayingOptionClicked(context_, state_.playlist); });
  file_associations_.Wire();
  state_.hooks.start_scrobbler_handshake = [this] { lastfm_.StartHandshake(); };
  state_.hooks.apply_global_hotkeys = [this](bool on) {
    if (on) {
      hotkeys_.RegisterHotkeys();
    } else {
      hotkeys_.UnregisterHotkeys();
    }
  };
  state_.hooks.recording_active = [this] {
    return playback_.RecordingActive();
  };
  PlaybackHooks& hooks = playback_.hooks();
  hooks.submit_played = [this] {
    lastfm_.SubmitPlayed(state_.playback.current_channel);
  };
  hooks.count_play_time = [this](bool counting) {
    lastfm_.CountPlayTime(counting);
  };
  hooks.scrobble_now_playing = [this] {
    lastfm_.ScrobbleNowPlaying(state_.playback.current_channel);
  };
  hooks.send_now_playing = [this](const std::string& text, bool enabled) {
    SendNowPlaying(context_, state_.playlist, text, enabled);
  };
  context_.platform.loop.AddTimer("FMTime", 1000, [this] {
    lastfm_.Tick(state_.playback.current_channel);
  });
}

void Player::HotkeyPressed(int id) {
  GuardedWhenFree([this, id] {
    switch (hotkeys_.Dispatch(id)) {
      case HotkeyAction::kPlay:
        playback_.TrayPlay();
        break;
      case HotkeyAction::kStop:
        playback_.StopPlayback();
        break;
      case HotkeyAction::kNext:
        playback_.NextEntry();
        break;
      case HotkeyAction::kRecord:
        playback_.RecordHotkey();
        break;
      case HotkeyAction::kPrevious:
        playback_.PreviousEntry();
        break;
      case HotkeyAction::kVolUp:
        ChangeVolume(context_, state_.playback, +1);
        break;
      case HotkeyAction::kVolDown:
        ChangeVolume(context_, state_.playback, -1);
        break;
      case HotkeyAction::kSearch:
        playlist_commands_.OpenSearchWindow();
        break;
      case HotkeyAction::kNone:
        break;
    }
  });
}

void Player::MediaControl(MediaCommand command) {
  GuardedWhenFree([this, command] {
    int channel_state = playback_.ChannelState();
    bool playing = channel_state == AudioLibrary::kActivePlaying;
    switch (command) {
      case MediaCommand::kPlayPause:
        playback_.TrayPlay();
        break;
      case MediaCommand::kPlay:
        if (!playing) playback_.TrayPlay();
        break;
      case MediaCommand::kPause:
        if (playing) playback_.PlayPause();
        break;
      case MediaCommand::kStop:
        playback_.StopPlayback();
        break;
      case MediaCommand::kNext:
        playback_.NextEntry();
        break;
      case MediaCommand::kPrevious:
        playback_.PreviousEntry();
        break;
      case MediaCommand::kRaise:
        context_.platform.tray.ShowMainWindow();
        context_.platform.window.BringToFront();
        state_.window_hidden = false;
        break;
      case MediaCommand::kQuit:
        // As the tray menu's Close: also with Close To Tray on.
        context_.menus.Click("Close1");
        break;
    }
  });
}

}  // namespace kivo
