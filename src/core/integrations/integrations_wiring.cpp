#include "core/app/player.h"
#include "core/integrations/now_playing_notice.h"

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

}  // namespace kivo
