#pragma once

#include <memory>

#include "core/platform/menu_item.h"

namespace kivo {

// The two menu trees with their English captions, default shortcuts, radio
// groups and self-checking items. Handlers are attached by their owners.
std::unique_ptr<MenuItem> BuildPlaylistMenu();
std::unique_ptr<MenuItem> BuildTrayMenu();

// Radio groups.
constexpr int kModeGroup = 1;
constexpr int kEscGroup = 2;
constexpr int kTimeGroup = 3;
constexpr int kTransparentGroup = 4;
constexpr int kRuntimeGroup = 5;  // theme, device and language items

}  // namespace kivo
