#include "core/ui/option_restore.h"

#include <string>
#include <tuple>

#include "core/integrations/file_associations.h"
#include "core/playback/playback_restore.h"
#include "core/playlist/history.h"
#include "core/ui/language_menu.h"
#include "core/ui/shortcuts.h"
#include "core/ui/theme.h"
#include "core/ui/window_modes.h"

namespace kivo {
namespace {

int IntOf(const IniDocument& ini, const char* section, const char* key,
          int fallback) {
  return static_cast<int>(ini.GetInt(section, key, fallback));
}

void CheckFrom(Context& context, const IniDocument& ini, const char* item,
               const char* key, bool fallback) {
  context.menus.SetChecked(item, ReadBool(ini, "settings", key, fallback));
}

void RestorePlayMode(Context& context, const IniDocument& ini) {
  int mode = IntOf(ini, "settings", "Mode", 4);
  const char* kModes[] = {"Shuffle", "Repeat", "NoRepeat", "RepeatAll"};
  for (int index = 0; index < 4; ++index) {
    for (const char* menu : {"1", "2"}) {
      context.menus.SetChecked(std::string(kModes[index]) + menu,
                               mode == index + 1);
    }
  }
}

void RestoreWindowPlacement(Context& context, PlayerState& state,
                            const IniDocument& ini) {
  MainWindow& window = context.platform.window;
  window.SetClientSize(IntOf(ini, "Size", "Width", 231),
                       IntOf(ini, "Size", "Height", 288));
  window.SetPosition(IntOf(ini, "Main.Position", "Left", 0),
                     IntOf(ini, "Main.Position", "Top", 0));
  state.ui.alpha_0_255 = IntOf(ini, "settings", "TransparentValue", 125) & 0xFF;
}

void RestoreChecks(Context& context, const IniDocument& ini) {
  for (auto [item, key, fallback] :
       {std::tuple{"Taskbar1", "ShowTaskbar", false},
        {"SlimMode", "SlimMode", false},
        {"Vis", "VUmeter", false},
        {"Globalehotkeys1", "EnableHotKey", false},
        {"Seekbar1", "Seekbar", true},
        {"MSNSong1", "MSN", false},
        {"CloseToTray1", "CloseToTray", false},
        {"History2", "History", false},
        {"Ftp1", "FTPPassive", true},
        {"LastFM1", "LastFM", false},
        {"ShowBalloonHints1", "ShowBalloonHints", false},
        {"RememberPlaylist1", "RememberPlaylist", true}}) {
    CheckFrom(context, ini, item, key, fallback);
  }
}

void RestoreEscFunction(Context& context, const IniDocument& ini) {
  int function = IntOf(ini, "settings", "ESCKey", 3);
  const char* kItems[] = {"MinimizeKivoPlayer1", "ExitKivoPlayer1",
                          "NoFunction1"};
  for (int index = 0; index < 3; ++index) {
    context.menus.SetChecked(kItems[index], function == index + 1);
  }
}

void AddSlimModeCommand(Context& context, PlayerState& state,
                        const IniDocument& ini) {
  MainWindow& window = context.platform.window;
  bool slim = IntOf(ini, "settings", "SlimMode", 0) != 0;
  state.ui.slim_command_added = true;
  state.ui.slim_command_checked = slim;
  window.SetSlimModeCommand(
      SlimCommandText(context.Text("Options", "06", "Slim Mode")), slim);
  if (slim) {
    state.saved_client_height = window.ClientHeight();
    window.SetClientSize(window.ClientWidth(), 0);
  }
}

void RestoreTransparency(Context& context, const PlayerState& state,
                         const IniDocument& ini) {
  MainWindow& window = context.platform.window;
  long long percent = ini.GetInt("settings", "Transparent", 100);
  if (percent == 100) {
    window.SetAlphaBlend(false, 255);
    context.menus.SetChecked("Trans100", true);
  } else if (auto step = TransparencyOf(percent)) {
    window.SetAlphaBlend(true, step->alpha_0_255);
    context.menus.SetChecked(step->item, true);
  } else {
    window.SetAlphaBlend(true, state.ui.alpha_0_255);
  }
}

// Steps 1 to 10: theme, language name, marks, window placement, shortcuts.
void RestoreMarks(Context& context, PlayerState& state,
                  const IniDocument& ini) {
  ApplyTheme(context, state,
             ThemeFile(context, ini.GetText("settings", "Theme", "Default")));
  context.language.SetCurrentLanguage(
      ini.GetText("settings", "Language", "English"));
  RestorePlayMode(context, ini);
  CheckFrom(context, ini, "AlwaysOnTop", "OnTop", false);
  CheckFrom(context, ini, "ShowTrayIcon", "ShowTray", false);
  CheckFrom(context, ini, "MinimizeToTray", "MinimizeToTray", false);
  RestoreWindowPlacement(context, state, ini);
  RestoreChecks(context, ini);
  RestoreAssociationChecks(context.menus, ini);
  ApplyShortcuts(context.menus, ini);
  RestoreEscFunction(context, ini);
}

// Steps 23 to 29: what the marks mean for the window and the tray.
void ApplyMarks(Context& context, PlayerState& state) {
  MenuModel& menus = context.menus;
  MainWindow& window = context.platform.window;
  window.SetSeekbarVisible(menus.Checked("Seekbar1"));
  menus.SetVisible("History1", menus.Checked("History2"));
  MarkCurrentLanguage(context);
  MarkCurrentTheme(context);
  IniDocument ini = context.settings.Snapshot();
  RestoreTransparency(context, state, ini);
  bool elapsed = ReadBool(ini, "settings", "TimeDisplay", true);
  menus.SetChecked(elapsed ? "UP" : "Down", true);
  ApplyLevelMeter(context);
  window.SetTopMost(menus.Checked("AlwaysOnTop"));
  ApplyMinimizeToTray(context);
  context.platform.tray.SetIconVisible(menus.Checked("ShowTrayIcon"));
}

}  // namespace

void OptionRestore(Context& context, PlayerState& state) {
  IniDocument ini = context.settings.Snapshot();
  RestoreMarks(context, state, ini);
  RestoreProxy(context);
  History(context, state).LoadHistory();
  RestorePlugins(context, state);
  BuildThemeMenu(context, state);
  RestoreDevices(context, state);
  BuildLanguageMenu(context, state);
  ApplyLanguage(context, state,
                context.language.FileOf(context.language.CurrentLanguage()));
  AddSlimModeCommand(context, state, ini);
  if (context.menus.Checked("LastFM1") &&
      state.hooks.start_scrobbler_handshake) {
    state.hooks.start_scrobbler_handshake();
  }
  RestorePassiveFtp(context);
  RestoreSeekbar(context, state);
  RestoreVolume(context, state);
  if (state.hooks.apply_global_hotkeys) {
    state.hooks.apply_global_hotkeys(context.menus.Checked("Globalehotkeys1"));
  }
  ApplyMarks(context, state);
}

}  // namespace kivo
