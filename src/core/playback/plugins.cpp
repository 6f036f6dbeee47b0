#include "core/playback/plugins.h"

#include <charconv>
#include <filesystem>
#include <system_error>

#include "core/util/text.h"

namespace kivo {

LayeredFolder PluginFolders(const Context& context) {
  return LayeredFolder(context.program_dir + "Plug-ins",
                       context.shipped.plugins, /*ignore_case=*/false);
}

std::vector<std::string> PluginFiles(const LayeredFolder& folders) {
  std::vector<std::string> names;
  for (const std::string& name : folders.Entries()) {
    std::error_code error;
    if (EndsWith(name, ".so") &&
        !std::filesystem::is_directory(folders.FileOf(name), error)) {
      names.push_back(name);
    }
  }
  return names;
}

void BuildPluginMenu(Context& context, PlayerState& state) {
  LayeredFolder folders = PluginFolders(context);
  std::error_code error;
  std::filesystem::create_directories(folders.user_folder(), error);
  MenuModel& menus = context.menus;
  MenuItem& parent = menus.Item("Plugins1");
  menus.ClearChildren(parent);
  for (const std::string& name : PluginFiles(folders)) {
    MenuItem& item = menus.AddChild(parent, name);
    item.auto_check = true;
    item.on_click = [&context, &state, item_name = item.name] {
      TogglePlugin(context, state, item_name);
    };
  }
  if (parent.children.empty()) {
    menus.AddChild(parent, context.Text("options", "23", "No Plug-ins"))
        .enabled = false;
  }
}

void LoadEnabledPlugins(Context& context, PlayerState& state) {
  std::vector<std::string> names = PluginFiles(PluginFolders(context));
  MenuItem& parent = context.menus.Item("Plugins1");
  for (size_t count = 0; count < names.size(); ++count) {
    if (!context.settings.ReadSettingBool("plugins", names[count], false)) {
      continue;
    }
    LoadPlugin(context, state, names[count]);
    if (count < parent.children.size()) {
      context.menus.SetChecked(*parent.children[count], true);
    }
  }
}

void LoadPlugin(Context& context, PlayerState& state, const std::string& name) {
  AudioLibrary::Handle handle =
      context.platform.audio.PluginLoad(PluginFolders(context).FileOf(name), 0);
  state.plugin_names.push_back(name);
  state.plugin_handles.push_back(IntText(handle));
}

void FreePlugin(Context& context, PlayerState& state, const std::string& name) {
  for (size_t i = 0; i < state.plugin_names.size(); ++i) {
    if (state.plugin_names[i] != name) continue;
    const std::string& text = state.plugin_handles[i];
    AudioLibrary::Handle handle = 0;
    std::from_chars(text.data(), text.data() + text.size(), handle);
    if (handle != 0) context.platform.audio.PluginFree(handle);
    state.plugin_names.erase(state.plugin_names.begin() + i);
    state.plugin_handles.erase(state.plugin_handles.begin() + i);
    return;
  }
}

void TogglePlugin(Context& context, PlayerState& state,
                  const std::string& item_name) {
  const MenuItem* item = context.menus.Find(item_name);
  if (!item) return;
  std::string name = ReplaceAll(item->caption, "&", "");
  bool checked = item->checked;
  context.settings.WriteBool("plugins", name, checked);
  if (checked) {
    LoadPlugin(context, state, name);
  } else {
    FreePlugin(context, state, name);
  }
}

}  // namespace kivo
