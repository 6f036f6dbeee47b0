#pragma once

#include <QColor>

#include "core/platform/colors.h"

namespace kivo::desktop {

inline QColor ToQColor(ColorValue color) {
  return QColor(RedOf(color), GreenOf(color), BlueOf(color));
}

}  // namespace kivo::desktop
