#include "core/ui/language_captions.h"

#include <initializer_list>

namespace kivo {
namespace {

struct Caption {
  const char* key;
  const char* item;
  const char* english;
};

void ApplySection(MenuModel& menus, const IniDocument& language,
                  const char* section,
                  std::initializer_list<Caption> captions) {
  for (const Caption& caption : captions) {
    menus.SetCaption(caption.item,
                     language.GetText(section, caption.key, caption.english));
  }
}

void ApplyMenuSection(MenuModel& menus, const IniDocument& language) {
  ApplySection(menus, language, "menu",
               {{"01", "Play", "Play"},
                {"04", "Stop", "Stop"},
                {"05", "Previous", "Previous"},
                {"06", "Next", "Next"},
                {"07", "Record1", "Record"},
                {"08", "Shuffle1", "Shuffle"},
                {"09", "Add", "Add"},
                {"10", "PlayList1", "Playlist"},
                {"11", "Remove", "Remove"},
                {"12", "Options", "Options"},
                {"13", "History1", "History"},
                {"14", "Repeat1", "Repeat"},
                {"15", "RepeatAll1", "Repeat All"},
                {"16", "Mode1", "Mode"},
                {"17", "NoRepeat1", "No Repeat"},
                {"18", "tags1", "Tags"},
                {"19", "Search1", "Search"},
                {"20", "Queue1", "Queue"}});
  ApplySection(menus, language, "add",
               {{"01", "AddMedia", "Add Media"},
                {"02", "AddUrl", "Add URL"},
                {"03", "AddDirectory", "Add Directory"}});
  ApplySection(menus, language, "playlist",
               {{"01", "Clear", "New Playlist"},
                {"02", "LoadPlaylist", "Load Playlist"},
                {"03", "SavePlaylist", "Save Playlist"}});
}

void ApplyOptionsDisplay(MenuModel& menus, const IniDocument& language) {
  ApplySection(menus, language, "Options",
               {{"01", "AlwaysOnTop", "Always On Top"},
                {"02", "ShowTrayIcon", "Show Tray Icon"},
                {"03", "MinimizeToTray", "Minimize To tray"},
                {"04", "Taskbar1", "Show In Taskbar"},
                {"05", "Vis", "VU-Meter"},
                {"06", "SlimMode", "Slim Mode"},
                {"07", "Timedis", "Time Display"},
                {"08", "Transparent", "Transparency"},
                {"09", "AudioDevice1", "Audio Device"},
                {"10", "Language1", "Language"},
                {"11", "UP", "Time Elapsed"},
                {"12", "Down", "Time Remaining"},
                {"13", "Trans100", "Disable"},
                {"14", "Globalehotkeys1", "Global Hotkeys"},
                {"15", "Seekbar1", "Seekbar"},
                {"16", "MSNSong1", "MSN Now Playing"},
                {"17", "General1", "General"},
                {"18", "CloseToTray1", "Close To Tray"},
                {"19", "Volume1", "Volume"},
                {"20", "VolUp1", "Up (5%)"},
                {"21", "VolDown1", "Down (5%)"},
                {"22", "Plugins1", "Plug-ins"}});
}

void ApplyOptionsMisc(MenuModel& menus, const IniDocument& language) {
  ApplySection(menus, language, "Options",
               {{"24", "History2", "History Menu"},
                {"25", "MusicFolder1", "Music Folder"},
                {"26", "OpenFolder1", "Open Folder"},
                {"27", "Refresh1", "Refresh"},
                {"28", "Association1", "File Association"},
                {"29", "SelectAll1", "Select All"},
                {"30", "misc1", "Miscellaneous"},
                {"31", "SortByABC", "Sort Playlist"},
                {"32", "Theme1", "Theme"},
                {"34", "MinimizeKivoPlayer1", "Minimize Kivo Player"},
                {"35", "ExitKivoPlayer1", "Exit Kivo Player"},
                {"36", "NoFunction1", "No Function"},
                {"37", "ESCKeyFunction1", "ESC Key Function"},
                {"38", "Proxy1", "Proxy"},
                {"39", "Ftp1", "Passive Mode FTP"},
                {"40", "RememberPlaylist1", "Remember Playlist"},
                {"41", "ShowBalloonHints1", "Show Balloon Hints"},
                {"42", "LastFM1", "Last.FM"}});
}

}  // namespace

void ApplyPlaylistMenuCaptions(MenuModel& menus, const IniDocument& language) {
  ApplyMenuSection(menus, language);
  ApplyOptionsDisplay(menus, language);
  ApplyOptionsMisc(menus, language);
  // A disabled first plug-in item is the "no plug-ins" placeholder.
  MenuItem& plugins = menus.Item("Plugins1");
  if (!plugins.children.empty() && !plugins.children.front()->enabled) {
    plugins.children.front()->caption =
        language.GetText("options", "23", "No Plug-ins");
  }
}

void ApplyTrayMenuCaptions(MenuModel& menus, const IniDocument& language) {
  ApplySection(menus, language, "tray",
               {{"01", "NowPlaying", "Now Playing:"},
                {"02", "Playback", "Playback"},
                {"03", "About1", "About"},
                {"04", "Close1", "Close"},
                {"05", "Donate1", "Donate"}});
  ApplySection(menus, language, "menu",
               {{"01", "Play1", "Play"},
                {"04", "Stop1", "Stop"},
                {"05", "Previous1", "Previous"},
                {"06", "Next1", "Next"},
                {"07", "Record2", "Record"},
                {"08", "Shuffle2", "Shuffle"},
                {"14", "Repeat2", "Repeat"},
                {"15", "RepeatAll2", "Repeat All"},
                {"16", "Mode2", "Mode"},
                {"17", "NoRepeat2", "No Repeat"}});
}

}  // namespace kivo
