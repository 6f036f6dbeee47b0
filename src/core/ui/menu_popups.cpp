#include "core/ui/menu_popups.h"

#include "core/playlist/entry_names.h"
#include "core/util/text.h"

namespace kivo {
namespace {

bool PlayingIsNetworkStream(const PlaylistModel& model) {
  int playing = model.playing_index;
  return playing >= 0 && playing < model.Count() &&
         IsNetworkStream(model.file_list[playing]);
}

// Next stays available on the last line only while shuffle can pick another.
bool NextEnabled(const Context& context, const PlaylistModel& model) {
  if (model.Count() != model.playing_index + 1) return true;
  return context.menus.Checked("Shuffle1") && !model.Empty();
}

std::string PlayCaption(const Context& context, int channel_state,
                        bool on_playing_entry) {
  if (on_playing_entry && channel_state == AudioLibrary::kActivePlaying) {
    return context.Text("menu", "02", "Pause");
  }
  if (on_playing_entry && channel_state == AudioLibrary::kActivePaused) {
    return context.Text("menu", "03", "Resume");
  }
  return context.Text("menu", "01", "Play");
}

void ApplyPlaylistChannelState(Context& context, const PlayerState& state,
                               const PopupFacts& facts) {
  MenuModel& menus = context.menus;
  int channel = facts.channel_state;
  if (channel == AudioLibrary::kActiveStalled) return;
  menus.SetEnabled("Play", true);
  menus.SetEnabled("Remove", true);
  menus.SetEnabled("Stop", channel != AudioLibrary::kActiveStopped);
  menus.SetEnabled("Record1", channel == AudioLibrary::kActivePlaying &&
                                  PlayingIsNetworkStream(state.playlist) &&
                                  !facts.recording_active);
  bool on_playing = facts.selected_line == state.playlist.playing_index;
  menus.SetCaption("Play", PlayCaption(context, channel, on_playing));
}

void ApplyTrayChannelState(Context& context, const PlayerState& state,
                           const PopupFacts& facts) {
  MenuModel& menus = context.menus;
  switch (facts.channel_state) {
    case AudioLibrary::kActiveStopped:
      menus.SetEnabled("Stop1", false);
      menus.SetEnabled("PlayingSong", false);
      menus.SetCaption("PlayingSong", context.Text("strings", "11", "(none)"));
      menus.SetEnabled("Record2", false);
      break;
    case AudioLibrary::kActivePlaying:
      menus.SetEnabled("Stop1", true);
      menus.SetEnabled("PlayingSong", true);
      if (state.playlist.playing_index != -1) {
        menus.SetEnabled("Record2", PlayingIsNetworkStream(state.playlist));
      }
      if (facts.recording_active) menus.SetEnabled("Record2", false);
      break;
    case AudioLibrary::kActivePaused:
      menus.SetEnabled("Stop1", true);
      menus.SetEnabled("Record2", false);
      break;
    default:
      return;
  }
  menus.SetCaption("Play1", PlayCaption(context, facts.channel_state, true));
}

}  // namespace

void PlayListMenuPopup(Context& context, PlayerState& state,
                       const PopupFacts& facts) {
  MenuModel& menus = context.menus;
  const PlaylistModel& model = state.playlist;
  bool selected =
      facts.selected_line >= 0 && facts.selected_line < model.Count();
  if (selected) state.ui.popup_location = model.file_list[facts.selected_line];
  menus.SetEnabled("tags1", true);
  menus.SetEnabled("Queue1", true);
  menus.SetCaption("Volumestat",
                   context.Text("options", "19", "Volume") + ": " +
                       GeneralNumberText(facts.volume_0_10000 / 100.0) + "%");
  ApplyPlaylistChannelState(context, state, facts);
  if (!selected) {
    for (const char* item : {"Remove", "tags1", "Queue1", "Play"}) {
      menus.SetEnabled(item, false);
    }
    if (facts.channel_state != AudioLibrary::kActivePlaying) {
      menus.SetEnabled("Record1", false);
    }
  }
  menus.SetEnabled("Previous", model.playing_index >= 1);
  menus.SetEnabled("Next", NextEnabled(context, model));
}

void TrayMenuPopup(Context& context, const PlayerState& state,
                   const PopupFacts& facts) {
  MenuModel& menus = context.menus;
  context.platform.tray.SetTooltipAllowed(false);
  ApplyTrayChannelState(context, state, facts);
  int playing = state.playlist.playing_index;
  if (playing == -1) {
    for (const char* item : {"Next1", "Previous1", "Play1", "Record2"}) {
      menus.SetEnabled(item, false);
    }
    return;
  }
  menus.SetEnabled("Play1", true);
  menus.SetEnabled("Previous1", playing != 0);
  menus.SetEnabled(
      "Next1", !state.playlist.IsLast(playing) || menus.Checked("Shuffle1"));
}

}  // namespace kivo
