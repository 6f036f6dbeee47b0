#pragma once

#include <string>

#include "core/platform/colors.h"
#include "core/platform/playlist_source.h"

namespace kivo {

// The colours of the playlist lines, from the theme.
struct ThemeColors {
  ColorValue background = 0x000000;
  ColorValue item_color = 0x00FF00;
  ColorValue selected_item_color = 0x6A240A;
  ColorValue playing_item_color = 0x00FF00;
  ColorValue queued_item_color = 0x0000FF;
  bool playing_item_bold = true;
  std::string volume_progress_color = "#000000";
  std::string seekbar_progress_color = "#0A246A";
};

struct LineFacts {
  int index = 0;
  bool selected = false;
  bool focused = false;
  int playing_index = -1;
  bool queued = false;
};

// How one line is painted: the selection changes the brush only; the playing
// line takes its colour (and bold), a queued line the queued colour over it.
LineStyle StyleOfLine(const LineFacts& line, const ThemeColors& colors);

}  // namespace kivo
