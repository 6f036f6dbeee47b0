#pragma once

#include <string>

#include "core/platform/colors.h"

namespace kivo {

// How one playlist line is painted.
struct LineStyle {
  ColorValue brush = 0;
  ColorValue text_color = 0;
  bool bold = false;
  bool focus_rect = false;
};

// What the window's list asks of the core while it paints. GUI thread only.
class PlaylistSource {
 public:
  virtual ~PlaylistSource() = default;
  virtual int LineCount() const = 0;
  virtual std::string LineText(int index) const = 0;
  virtual LineStyle StyleOf(int index, bool selected, bool focused) const = 0;
};

}  // namespace kivo
