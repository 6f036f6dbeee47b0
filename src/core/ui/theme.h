#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "core/app/context.h"
#include "core/app/player_state.h"
#include "core/ini/ini_document.h"
#include "core/ui/line_style.h"
#include "core/ui/ui_state.h"

namespace kivo {

// "#RRGGBB" reordered to "BBGGRR": the pairs at 5-6, 3-4 and 1-2 after an
// optional "#", missing positions contributing nothing.
std::string ReorderColorText(std::string_view text);
// The colour value 0x00BBGGRR of a "#RRGGBB" text; std::nullopt when the
// reordered text is empty or not hexadecimal.
std::optional<ColorValue> ParseColor(std::string_view text);

// Line height of the playlist for a font size; std::nullopt keeps the old one.
std::optional<int> LineHeightForFontSize(long long font_size);

// Reads section "Theme" into looks and colors in the order the keys are
// applied. Stops at the first unreadable colour and returns its reordered
// text (the values read before it stay); std::nullopt when all were read.
std::optional<std::string> ReadTheme(const IniDocument& theme,
                                     ThemeLooks* looks, ThemeColors* colors);

// Applies the theme file at path to the window and the line colours. An
// unreadable colour is reported to the user and ends the theme there.
void ApplyTheme(Context& context, PlayerState& state, const std::string& path);
// The theme file of a name, found in the Theme folder without regard to case.
std::string ThemeFile(const Context& context, const std::string& name);

// Options > Theme: one radio item per ".ini" file of the Theme folder.
void BuildThemeMenu(Context& context, PlayerState& state);
// Checks the items captioned exactly as the stored theme.
void MarkCurrentTheme(Context& context);
void SelectTheme(Context& context, PlayerState& state,
                 const std::string& item_name);

}  // namespace kivo
