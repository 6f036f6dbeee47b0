#pragma once

#include <QIcon>

namespace kivo::desktop {

// The program's icon, drawn in code (the shipped SVG needs an image plug-in
// that a plain Qt installation lacks): green level bars and a play mark on
// black, the player's default colours.
QIcon AppIcon();

}  // namespace kivo::desktop
