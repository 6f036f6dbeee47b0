#pragma once

#include <string>
#include <vector>

#include "core/app/context.h"
#include "core/app/player_state.h"

namespace kivo {

// ProgramDir + "Plug-ins" over the installed plug-ins.
LayeredFolder PluginFolders(const Context& context);
// The files of both folders whose names end exactly in ".so", by name.
std::vector<std::string> PluginFiles(const LayeredFolder& folders);

// Options > Plug-ins: one self-checking item per plug-in file, or a disabled
// "No Plug-ins". Creates a missing folder.
void BuildPluginMenu(Context& context, PlayerState& state);
// Loads and checks the plug-ins whose `plugins` flag is set.
void LoadEnabledPlugins(Context& context, PlayerState& state);
// A failed load is listed too, with handle 0.
void LoadPlugin(Context& context, PlayerState& state, const std::string& name);
void FreePlugin(Context& context, PlayerState& state, const std::string& name);
// A plug-in item was clicked (its check already toggled). Throws
// SettingsWriteError.
void TogglePlugin(Context& context, PlayerState& state,
                  const std::string& item_name);

}  // namespace kivo
