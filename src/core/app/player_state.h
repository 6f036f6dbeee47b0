#pragma once

#include <string>
#include <vector>

#include "core/playback/playback_state.h"
#include "core/playlist/playlist_model.h"
#include "core/ui/line_style.h"
#include "core/ui/ui_state.h"

namespace kivo {

class SearchWindow;

// All state of a running player, in plain lists, integers and flags. It lives
// as long as the main window.
struct PlayerState {
  PlaylistModel playlist;
  PlaybackState playback;
  std::vector<std::string> queue_list;
  std::vector<std::string> history_list;
  std::vector<std::string> plugin_names;
  std::vector<std::string> plugin_handles;  // decimal handle texts
  std::vector<std::string> submission_queue;
  // Last.fm's count of the playing track: timer ticks, submitted, start time.
  int played_seconds = 0;
  bool track_played = false;
  long long track_start_time = 0;  // UTC seconds
  ThemeColors theme_colors;
  bool ending_session = false;
  bool window_hidden = false;
  int saved_client_height = 0;
  UiState ui;
  ShellHooks hooks;
  // While true the seek bar shows the volume (Shift held on the playlist).
  bool volume_shown = false;
  // The open search window, nullptr when none: only one at a time.
  SearchWindow* search_window = nullptr;
};

}  // namespace kivo
