#include "core/ui/line_style.h"

namespace kivo {

LineStyle StyleOfLine(const LineFacts& line, const ThemeColors& colors) {
  LineStyle style;
  style.brush = line.selected ? colors.selected_item_color : colors.background;
  if (line.index == line.playing_index) {
    style.bold = colors.playing_item_bold;
    style.text_color = colors.playing_item_color;
  } else {
    style.text_color = colors.item_color;
  }
  if (line.queued) style.text_color = colors.queued_item_color;
  style.focus_rect = line.focused;
  return style;
}

}  // namespace kivo
