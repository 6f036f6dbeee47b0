#include "core/ui/menu_trees.h"

#include <initializer_list>
#include <string>

#include "core/platform/shell_events.h"

namespace kivo {
namespace {

enum Flags : int { kPlain = 0, kCheck = 1, kHidden = 2 };

struct ItemDef {
  const char* name;
  const char* caption;
  int shortcut = 0;
  int flags = kPlain;
  int radio_group = 0;
};

class TreeBuilder {
 public:
  explicit TreeBuilder(MenuItem* root) : parent_(root) {}

  MenuItem& Add(const ItemDef& def) {
    auto item = std::make_unique<MenuItem>();
    item->name = def.name;
    item->caption = def.caption;
    item->shortcut = def.shortcut;
    item->auto_check = (def.flags & kCheck) != 0 || def.radio_group != 0;
    item->visible = (def.flags & kHidden) == 0;
    item->radio_group = def.radio_group;
    parent_->children.push_back(std::move(item));
    return *parent_->children.back();
  }
  void AddAll(std::initializer_list<ItemDef> defs) {
    for (const ItemDef& def : defs) Add(def);
  }
  void Separator() {
    std::string name = parent_->name + "_sep" + std::to_string(++separators_);
    Add({"", "-"}).name = name;
  }
  TreeBuilder Sub(const ItemDef& def) { return TreeBuilder(&Add(def)); }

 private:
  MenuItem* parent_;
  int separators_ = 0;
};

constexpr int kCtrl = kShortcutCtrl;
constexpr int kShift = kShortcutShift;

void AddModes(TreeBuilder menu, const char* suffix, const char* mode_name) {
  TreeBuilder mode = menu.Sub({mode_name, "Mode"});
  for (auto [name, caption] : {std::pair{"Shuffle", "Shuffle"},
                               {"Repeat", "Repeat"},
                               {"NoRepeat", "No Repeat"},
                               {"RepeatAll", "Repeat All"}}) {
    mode.Add({"", caption, 0, kPlain, kModeGroup}).name =
        std::string(name) + suffix;
  }
}

void AddGeneral(TreeBuilder options) {
  TreeBuilder general = options.Sub({"General1", "General"});
  general.AddAll({{"AlwaysOnTop", "Always On Top", vk::kF1, kCheck},
                  {"ShowTrayIcon", "Show Tray Icon", vk::kF1 + 1, kCheck},
                  {"MinimizeToTray", "Minimize To Tray", vk::kF1 + 2, kCheck},
                  {"CloseToTray1", "Close To Tray", vk::kF1 + 3, kCheck},
                  {"Taskbar1", "Show In Taskbar", vk::kF1 + 4, kCheck},
                  {"Vis", "VU-Meter", vk::kF1 + 5, kCheck},
                  {"Seekbar1", "Seekbar", vk::kF1 + 6, kCheck},
                  {"SlimMode", "Slim Mode", vk::kF8, kCheck},
                  {"Globalehotkeys1", "Global Hotkeys", vk::kF1 + 8, kCheck},
                  {"MSNSong1", "MSN Now Playing", vk::kF1 + 9, kCheck},
                  {"History2", "History Menu", vk::kF1 + 10, kCheck}});
}

void AddMiscellaneous(TreeBuilder options) {
  TreeBuilder misc = options.Sub({"misc1", "Miscellaneous"});
  misc.AddAll({{"SortByABC", "Sort Playlist", 0, kHidden},
               {"Proxy1", "Proxy", 0, kCheck},
               {"Ftp1", "Passive Mode FTP", 0, kCheck},
               {"RememberPlaylist1", "Remember Playlist", 0, kCheck},
               {"ShowBalloonHints1", "Show Balloon Hints", 0, kCheck},
               {"LastFM1", "Last.fm", 0, kCheck}});
  TreeBuilder esc = misc.Sub({"ESCKeyFunction1", "ESC Key Function"});
  esc.AddAll(
      {{"MinimizeKivoPlayer1", "Minimize Kivo Player", 0, kPlain, kEscGroup},
       {"ExitKivoPlayer1", "Exit Kivo Player", 0, kPlain, kEscGroup},
       {"NoFunction1", "No Function", 0, kPlain, kEscGroup}});
}

void AddDisplay(TreeBuilder options) {
  options.Sub({"MusicFolder1", "Music Folder"})
      .AddAll(
          {{"OpenFolder1", "Open Folder"}, {"Refresh1", "Refresh", vk::kF12}});
  options.Sub({"Timedis", "Time Display"})
      .AddAll({{"UP", "Time Elapsed", 0, kPlain, kTimeGroup},
               {"Down", "Time Remaining", 0, kPlain, kTimeGroup}});
  TreeBuilder transparent = options.Sub({"Transparent", "Transparent"});
  transparent.AddAll({{"Trans20", "20%", 0, kPlain, kTransparentGroup},
                      {"Trans40", "40%", 0, kPlain, kTransparentGroup},
                      {"Trans50", "50%", 0, kPlain, kTransparentGroup},
                      {"Trans60", "60%", 0, kPlain, kTransparentGroup},
                      {"Trans80", "80%", 0, kPlain, kTransparentGroup}});
  transparent.Separator();
  transparent.Add({"Trans100", "Disable", 0, kPlain, kTransparentGroup});
  options.Add({"Theme1", "Theme"});
  TreeBuilder volume = options.Sub({"Volume1", "Volume"});
  volume.AddAll({{"VolUp1", "Up (5%)", vk::kAdd},
                 {"VolDown1", "Down (5%)", vk::kSubtract}});
  volume.Separator();
  volume.Add({"Volumestat", "Volume: "});
}

void AddAssociations(TreeBuilder options) {
  TreeBuilder association = options.Sub({"Association1", "File Association"});
  for (auto [name, caption] : {std::pair{"MP31", "MP3"},
                               {"MP21", "MP2"},
                               {"MP11", "MP1"},
                               {"OGG1", "OGG"},
                               {"WMA1", "WMA"},
                               {"FLAC1", "FLAC"},
                               {"WAV1", "WAV"},
                               {"M4A1", "AAC"},
                               {"CDA1", "CDA"},
                               {"IT1", "IT"},
                               {"XM1", "XM"},
                               {"S3M1", "S3M"},
                               {"MTM1", "MTM"},
                               {"umx1", "UMX"},
                               {"mo31", "MO3"},
                               {"mod1", "MOD"},
                               {"AIFF1", "AIFF"},
                               {"AC31", "AC3"},
                               {"ape1", "APE"},
                               {"mpc1", "MPC"},
                               {"ofr1", "OFR"},
                               {"spx1", "SPX"},
                               {"tta1", "TTA"},
                               {"wv1", "WV"},
                               {"M3U1", "M3U"},
                               {"PLS1", "PLS"}}) {
    association.Add({name, caption, 0, kCheck});
  }
  association.Separator();
  association.Add({"SelectAll1", "Select All", 0, kCheck});
}

void AddOptions(TreeBuilder menu) {
  TreeBuilder options = menu.Sub({"Options", "Options"});
  AddGeneral(options);
  AddMiscellaneous(options);
  AddDisplay(options);
  AddAssociations(options);
  options.AddAll({{"Plugins1", "Plug-ins"},
                  {"AudioDevice1", "Audio Device"},
                  {"Language1", "Language"}});
}

}  // namespace

std::unique_ptr<MenuItem> BuildPlaylistMenu() {
  auto root = std::make_unique<MenuItem>();
  root->name = "PlayListMenu";
  TreeBuilder menu(root.get());
  menu.AddAll({{"Play", "Play", 'X'},
               {"Stop", "Stop", 'V'},
               {"Previous", "Previous", 'Z'},
               {"Next", "Next", 'B'},
               {"Record1", "Record", 'R'}});
  menu.Separator();
  AddModes(menu, "1", "Mode1");
  menu.Separator();
  menu.Sub({"Add", "Add"})
      .AddAll({{"AddMedia", "Add Media", 'L'},
               {"AddUrl", "Add URL", 'L' | kCtrl},
               {"AddDirectory", "Add Directory", 'L' | kShift}});
  menu.Sub({"PlayList1", "Playlist"})
      .AddAll({{"Clear", "New Playlist", 'N' | kCtrl},
               {"LoadPlaylist", "Load Playlist", 'O' | kCtrl},
               {"SavePlaylist", "Save Playlist", 'S' | kCtrl}});
  menu.AddAll(
      {{"Queue1", "Queue", vk::kInsert}, {"Remove", "Remove", vk::kDelete}});
  menu.Separator();
  menu.AddAll(
      {{"tags1", "Tags"}, {"Search1", "Search", 'S'}, {"History1", "History"}});
  AddOptions(menu);
  return root;
}

std::unique_ptr<MenuItem> BuildTrayMenu() {
  auto root = std::make_unique<MenuItem>();
  root->name = "TrayMenu";
  TreeBuilder menu(root.get());
  menu.Sub({"NowPlaying", "Now Playing:"}).Add({"PlayingSong", "(none)"});
  TreeBuilder playback = menu.Sub({"Playback", "Playback"});
  playback.AddAll({{"Play1", "Play"},
                   {"Stop1", "Stop"},
                   {"Previous1", "Previous"},
                   {"Next1", "Next"},
                   {"Record2", "Record"}});
  playback.Separator();
  AddModes(playback, "2", "Mode2");
  menu.AddAll(
      {{"About1", "About"}, {"Donate1", "Donate"}, {"Close1", "Close"}});
  return root;
}

}  // namespace kivo
