#include "core/ui/language_menu.h"

#include "core/ini/ini_file.h"
#include "core/ui/folder_menu.h"
#include "core/ui/language_captions.h"
#include "core/ui/window_modes.h"

namespace kivo {

void ApplyLanguage(Context& context, PlayerState& state,
                   const std::string& path) {
  IniDocument language = IniFile(path).Load();
  ApplyPlaylistMenuCaptions(context.menus, language);
  if (state.ui.slim_command_added) {
    context.platform.window.SetSlimModeCommand(
        SlimCommandText(language.GetText("options", "06", "Slim Mode")),
        state.ui.slim_command_checked);
  }
  ApplyTrayMenuCaptions(context.menus, language);
}

void BuildLanguageMenu(Context& context, PlayerState& state) {
  std::vector<std::string> captions;
  for (const std::string& entry : context.language.Folders().Entries()) {
    captions.push_back(WithoutExtension(entry));
  }
  FillRadioSubmenu(context.menus, "Language1", captions,
                   [&context, &state](const std::string& item) {
                     SelectLanguage(context, state, item);
                   });
}

void MarkCurrentLanguage(Context& context) {
  CheckItemsCaptioned(context.menus, "Language1",
                      context.language.CurrentLanguage());
}

void SelectLanguage(Context& context, PlayerState& state,
                    const std::string& item_name) {
  MenuItem& item = context.menus.Item(item_name);
  context.menus.SetChecked(item, true);
  std::string name = item.caption;
  if (size_t amp = name.find('&'); amp != std::string::npos) {
    name.erase(amp, 1);
  }
  ApplyLanguage(context, state, context.language.FileOf(name));
  context.settings.WriteText("settings", "Language", name);
  context.language.SetCurrentLanguage(name);
}

}  // namespace kivo
