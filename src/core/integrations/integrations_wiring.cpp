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
  context_.platform.loop.AddTimer("FMTime", 1000, [this] {
    lastfm_.Tick(state_.playback.current_channel);
  });
}

}  // namespace kivo
