#include "core/integrations/now_playing_notice.h"

#include "core/playlist/entry_names.h"
#include "core/playlist/tag_title.h"

namespace kivo {

void SendNowPlaying(Context& context, const PlaylistModel& model,
                    const std::string& text, bool enabled) {
  std::string title;
  if (enabled) {
    int index = model.playing_index;
    bool local = index >= 0 && index < model.Count() &&
                 !IsNetworkStream(model.file_list[index]);
    title =
        local ? TagTitle(context, std::string(model.file_list[index])) : text;
  }
  context.platform.now_playing.Announce(title);
}

void NowPlayingOptionClicked(Context& context, const PlaylistModel& model) {
  bool on = context.menus.Checked("MSNSong1");
  if (on) {
    int index = model.playing_index;
    if (index >= 0 && index < model.Count()) {
      SendNowPlaying(context, model, model.Line(index), true);
    }
  } else {
    SendNowPlaying(context, model, std::string(), false);
  }
  context.settings.WriteBool("settings", "MSN", on);
}

}  // namespace kivo
