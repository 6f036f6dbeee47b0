#include "core/playlist/playlist_keys.h"

#include <algorithm>
#include <cstdint>
#include <optional>

#include "core/playback/seekbar.h"
#include "core/playlist/autosave.h"
#include "core/playlist/playlist_editing.h"
#include "core/ui/theme.h"
#include "core/util/text.h"

namespace kivo {
namespace {}  // namespace

void PlaylistKeys::PlayListKeyDown(int virtual_key, ShiftState shift) {
  if (shift.OnlyShift()) {
    ShowVolume();
    if (virtual_key == vk::kDelete) DeleteSelectedFile();
  } else if (shift.Empty()) {
    PlainKey(virtual_key);
  }
}

void PlaylistKeys::PlayListKeyUp(int, ShiftState) {
  if (!state_.volume_shown) return;
  MainWindow& window = context_.platform.window;
  state_.volume_shown = false;
  hooks_.reset_seekbar();
  context_.platform.loop.SetTimerEnabled("Time", true);
  window.SetCaption(kPlayerName);
  if (auto color = ParseColor(state_.theme_colors.seekbar_progress_color)) {
    window.SetSeekbarBarColor(*color);
  }
}

void PlaylistKeys::ShowVolume() {
  MainWindow& window = context_.platform.window;
  state_.volume_shown = true;
  Seekbar seekbar(window, state_.playback.seekbar);
  seekbar.SetEnabled(true);
  seekbar.SetRange(10000);
  seekbar.SetPosition(static_cast<int>(
      context_.settings.ReadSettingInt("settings", "volume", 5000)));
  context_.platform.loop.SetTimerEnabled("Time", false);
  if (auto color = ParseColor(state_.theme_colors.volume_progress_color)) {
    window.SetSeekbarBarColor(*color);
  }
  double percent = hooks_.volume_level() * 100.0 / 10000.0;
  window.SetCaption(std::string(kPlayerName) + "  -  " +
                    context_.Text("options", "19", "Volume") + ": " +
                    GeneralNumberText(percent) + "%");
}

void PlaylistKeys::DeleteSelectedFile() {
  PlaylistModel& model = state_.playlist;
  int selected = context_.platform.window.SelectedLine();
  if (selected < 0 || selected >= model.Count()) return;
  if (!DeleteToRecycleBin(context_.platform.desktop,
                          std::string(model.file_list[selected]))) {
    context_.ShowMessage(
        context_.Text("strings", "15", "Unable to delete file!"));
    return;
  }
  model.RemoveEntryAt(selected);
  context_.platform.window.PlaylistChanged();
  AutosavePlaylist(context_, model);
}

void PlaylistKeys::PlainKey(int virtual_key) {
  MainWindow& window = context_.platform.window;
  PlaylistModel& model = state_.playlist;
  switch (virtual_key) {
    case vk::kLeft:
      SeekBy(-context_.settings.ReadSettingInt("settings", "Backward", 5));
      break;
    case vk::kRight:
      SeekBy(context_.settings.ReadSettingInt("settings", "Forward", 5));
      break;
    case vk::kReturn:
      model.playing_index = window.SelectedLine();
      hooks_.play_entry();
      break;
    case vk::kSpace:
      hooks_.play_pause();
      break;
    case vk::kHome:
      if (!model.Empty()) window.SelectLine(0);
      break;
    case vk::kEnd:
      window.SelectLine(model.Count() - 1);
      break;
    case vk::kEscape:
      EscapeFunction();
      break;
    default:
      break;
  }
}

void PlaylistKeys::SeekBy(long long step_seconds) {
  if (hooks_.channel_state() == AudioLibrary::kActivePlaying) {
    // The seek bar holds the elapsed whole seconds and keeps the new
    // position within its range.
    Seekbar seekbar(context_.platform.window, state_.playback.seekbar);
    seekbar.SetPosition(static_cast<int>(std::clamp<long long>(
        seekbar.Position() + step_seconds, INT32_MIN, INT32_MAX)));
    hooks_.seek_to(static_cast<double>(seekbar.Position()));
  }
  context_.platform.window.SelectLine(-1);
}

void PlaylistKeys::EscapeFunction() {
  if (context_.menus.Checked("MinimizeKivoPlayer1")) {
    // Without a tray host a window hidden there could never come back.
    if (context_.menus.Checked("MinimizeToTray") &&
        context_.platform.tray.Available()) {
      context_.platform.tray.HideMainWindow();
      state_.window_hidden = true;
    } else {
      context_.platform.window.MinimizeApplication();
    }
  } else if (context_.menus.Checked("ExitKivoPlayer1")) {
    // Ends the program at once: no close request, no closing steps.
    context_.platform.loop.Quit(0);
  }
}

}  // namespace kivo
