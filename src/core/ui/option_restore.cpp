#include "core/ui/option_restore.h"

#include <string>
#include <tuple>

#include "core/playlist/history.h"

namespace kivo {
namespace {

void RestoreWindowPlacement(Context& context, const IniDocument& ini) {
  MainWindow& window = context.platform.window;
  int width = static_cast<int>(ini.GetInt("Size", "Width", 231));
  int height = static_cast<int>(ini.GetInt("Size", "Height", 288));
  window.SetClientSize(width, height);
  window.SetPosition(static_cast<int>(ini.GetInt("Main.Position", "Left", 0)),
                     static_cast<int>(ini.GetInt("Main.Position", "Top", 0)));
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
    context.menus.SetChecked(item, ReadBool(ini, "settings", key, fallback));
  }
}

}  // namespace

void OptionRestore(Context& context, PlayerState& state) {
  IniDocument ini = context.settings.Snapshot();
  RestoreWindowPlacement(context, ini);
  RestoreChecks(context, ini);
  History(context, state).LoadHistory();
}

}  // namespace kivo
