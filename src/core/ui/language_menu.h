#pragma once

#include <string>

#include "core/app/context.h"
#include "core/app/player_state.h"

namespace kivo {

// Sets every menu caption (and the system-menu Slim Mode command, once it
// exists) from the language file at path; absent keys give English.
void ApplyLanguage(Context& context, PlayerState& state,
                   const std::string& path);
// Options > Language: one radio item per entry of the language folder.
void BuildLanguageMenu(Context& context, PlayerState& state);
// Checks the items captioned exactly as the current language.
void MarkCurrentLanguage(Context& context);
void SelectLanguage(Context& context, PlayerState& state,
                    const std::string& item_name);

}  // namespace kivo
