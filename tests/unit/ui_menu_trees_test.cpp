#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "core/ui/menu_model.h"

namespace kivo {
namespace {

// One row of a menu tree, depth first: kind ' ' plain, 'c' checks itself,
// 'r' radio item, '-' separator, 'h' hidden plain item.
struct Row {
  int depth;
  const char* name;
  const char* caption;  // nullptr: set at run time
  int shortcut;
  char kind;
};

constexpr int kCtrl = 0x4000;
constexpr int kShift = 0x2000;
constexpr int kF1 = 0x70;

const std::vector<Row> kPlaylistMenu = {
    {0, "Play", "Play", 'X', ' '},
    {0, "Stop", "Stop", 'V', ' '},
    {0, "Previous", "Previous", 'Z', ' '},
    {0, "Next", "Next", 'B', ' '},
    {0, "Record1", "Record", 'R', ' '},
    {0, "-", "-", 0, '-'},
    {0, "Mode1", "Mode", 0, ' '},
    {1, "Shuffle1", "Shuffle", 0, 'r'},
    {1, "Repeat1", "Repeat", 0, 'r'},
    {1, "NoRepeat1", "No Repeat", 0, 'r'},
    {1, "RepeatAll1", "Repeat All", 0, 'r'},
    {0, "-", "-", 0, '-'},
    {0, "Add", "Add", 0, ' '},
    {1, "AddMedia", "Add Media", 'L', ' '},
    {1, "AddUrl", "Add URL", 'L' | kCtrl, ' '},
    {1, "AddDirectory", "Add Directory", 'L' | kShift, ' '},
    {0, "PlayList1", "Playlist", 0, ' '},
    {1, "Clear", "New Playlist", 'N' | kCtrl, ' '},
    {1, "LoadPlaylist", "Load Playlist", 'O' | kCtrl, ' '},
    {1, "SavePlaylist", "Save Playlist", 'S' | kCtrl, ' '},
    {0, "Queue1", "Queue", 0x2D, ' '},
    {0, "Remove", "Remove", 0x2E, ' '},
    {0, "-", "-", 0, '-'},
    {0, "tags1", "Tags", 0, ' '},
    {0, "Search1", "Search", 'S', ' '},
    {0, "History1", "History", 0, ' '},
    {0, "Options", "Options", 0, ' '},
    {1, "General1", "General", 0, ' '},
    {2, "AlwaysOnTop", "Always On Top", kF1, 'c'},
    {2, "ShowTrayIcon", "Show Tray Icon", kF1 + 1, 'c'},
    {2, "MinimizeToTray", "Minimize To Tray", kF1 + 2, 'c'},
    {2, "CloseToTray1", "Close To Tray", kF1 + 3, 'c'},
    {2, "Taskbar1", "Show In Taskbar", kF1 + 4, 'c'},
    {2, "Vis", "VU-Meter", kF1 + 5, 'c'},
    {2, "Seekbar1", "Seekbar", kF1 + 6, 'c'},
    {2, "SlimMode", "Slim Mode", kF1 + 7, 'c'},
    {2, "Globalehotkeys1", "Global Hotkeys", kF1 + 8, 'c'},
    {2, "MSNSong1", "MSN Now Playing", kF1 + 9, 'c'},
    {2, "History2", "History Menu", kF1 + 10, 'c'},
    {1, "misc1", "Miscellaneous", 0, ' '},
    {2, "SortByABC", "Sort Playlist", 0, 'h'},
    {2, "Proxy1", "Proxy", 0, 'c'},
    {2, "Ftp1", "Passive Mode FTP", 0, 'c'},
    {2, "RememberPlaylist1", "Remember Playlist", 0, 'c'},
    {2, "ShowBalloonHints1", "Show Balloon Hints", 0, 'c'},
    {2, "LastFM1", "Last.fm", 0, 'c'},
    {2, "ESCKeyFunction1", "ESC Key Function", 0, ' '},
    {3, "MinimizeKivoPlayer1", "Minimize Kivo Player", 0, 'r'},
    {3, "ExitKivoPlayer1", "Exit Kivo Player", 0, 'r'},
    {3, "NoFunction1", "No Function", 0, 'r'},
    {1, "MusicFolder1", "Music Folder", 0, ' '},
    {2, "OpenFolder1", "Open Folder", 0, ' '},
    {2, "Refresh1", "Refresh", 0x7B, ' '},
    {1, "Timedis", "Time Display", 0, ' '},
    {2, "UP", "Time Elapsed", 0, 'r'},
    {2, "Down", "Time Remaining", 0, 'r'},
    {1, "Transparent", "Transparent", 0, ' '},
    {2, "Trans20", "20%", 0, 'r'},
    {2, "Trans40", "40%", 0, 'r'},
    {2, "Trans50", "50%", 0, 'r'},
    {2, "Trans60", "60%", 0, 'r'},
    {2, "Trans80", "80%", 0, 'r'},
    {2, "-", "-", 0, '-'},
    {2, "Trans100", "Disable", 0, 'r'},
    {1, "Theme1", "Theme", 0, ' '},
    {1, "Volume1", "Volume", 0, ' '},
    {2, "VolUp1", "Up (5%)", 107, ' '},
    {2, "VolDown1", "Down (5%)", 109, ' '},
    {2, "-", "-", 0, '-'},
    {2, "Volumestat", "Volume: ", 0, ' '},
    {1, "Association1", "File Association", 0, ' '},
    {2, "MP31", "MP3", 0, 'c'},
    {2, "MP21", "MP2", 0, 'c'},
    {2, "MP11", "MP1", 0, 'c'},
    {2, "OGG1", "OGG", 0, 'c'},
    {2, "WMA1", "WMA", 0, 'c'},
    {2, "FLAC1", "FLAC", 0, 'c'},
    {2, "WAV1", "WAV", 0, 'c'},
    {2, "M4A1", "AAC", 0, 'c'},
    {2, "CDA1", "CDA", 0, 'c'},
    {2, "IT1", "IT", 0, 'c'},
    {2, "XM1", "XM", 0, 'c'},
    {2, "S3M1", "S3M", 0, 'c'},
    {2, "MTM1", "MTM", 0, 'c'},
    {2, "umx1", "UMX", 0, 'c'},
    {2, "mo31", "MO3", 0, 'c'},
    {2, "mod1", "MOD", 0, 'c'},
    {2, "AIFF1", "AIFF", 0, 'c'},
    {2, "AC31", "AC3", 0, 'c'},
    {2, "ape1", "APE", 0, 'c'},
    {2, "mpc1", "MPC", 0, 'c'},
    {2, "ofr1", "OFR", 0, 'c'},
    {2, "spx1", "SPX", 0, 'c'},
    {2, "tta1", "TTA", 0, 'c'},
    {2, "wv1", "WV", 0, 'c'},
    {2, "M3U1", "M3U", 0, 'c'},
    {2, "PLS1", "PLS", 0, 'c'},
    {2, "-", "-", 0, '-'},
    {2, "SelectAll1", "Select All", 0, 'c'},
    {1, "Plugins1", "Plug-ins", 0, ' '},
    {1, "AudioDevice1", "Audio Device", 0, ' '},
    {1, "Language1", "Language", 0, ' '},
};

const std::vector<Row> kTrayMenu = {
    {0, "NowPlaying", "Now Playing:", 0, ' '},
    {1, "PlayingSong", nullptr, 0, ' '},
    {0, "Playback", "Playback", 0, ' '},
    {1, "Play1", "Play", 0, ' '},
    {1, "Stop1", "Stop", 0, ' '},
    {1, "Previous1", "Previous", 0, ' '},
    {1, "Next1", "Next", 0, ' '},
    {1, "Record2", "Record", 0, ' '},
    {1, "-", "-", 0, '-'},
    {1, "Mode2", "Mode", 0, ' '},
    {2, "Shuffle2", "Shuffle", 0, 'r'},
    {2, "Repeat2", "Repeat", 0, 'r'},
    {2, "NoRepeat2", "No Repeat", 0, 'r'},
    {2, "RepeatAll2", "Repeat All", 0, 'r'},
    {0, "About1", "About", 0, ' '},
    {0, "Donate1", "Donate", 0, ' '},
    {0, "Close1", "Close", 0, ' '},
};

void Flatten(const MenuItem& item, int depth,
             std::vector<std::pair<int, const MenuItem*>>* out) {
  for (const auto& child : item.children) {
    out->push_back({depth, child.get()});
    Flatten(*child, depth + 1, out);
  }
}

void ExpectTree(const MenuItem& root, const std::vector<Row>& rows) {
  std::vector<std::pair<int, const MenuItem*>> items;
  Flatten(root, 0, &items);
  ASSERT_EQ(items.size(), rows.size()) << root.name;
  for (size_t i = 0; i < rows.size(); ++i) {
    const Row& row = rows[i];
    const MenuItem& item = *items[i].second;
    SCOPED_TRACE(std::string(root.name) + " row " + std::to_string(i) + " " +
                 row.name);
    EXPECT_EQ(items[i].first, row.depth);
    if (row.kind == '-') {
      EXPECT_TRUE(item.IsSeparator());
      continue;
    }
    EXPECT_EQ(item.name, row.name);
    if (row.caption) {
      EXPECT_EQ(item.caption, row.caption);
    }
    EXPECT_EQ(item.shortcut, row.shortcut);
    EXPECT_EQ(item.visible, row.kind != 'h');
    EXPECT_EQ(item.auto_check, row.kind == 'c' || row.kind == 'r');
    EXPECT_EQ(item.radio_group != 0, row.kind == 'r');
    EXPECT_FALSE(item.checked);
  }
}

TEST(UiMenuTreesTest, BothTreesHoldEveryItemInOrder) {
  MenuModel menus;
  ExpectTree(menus.playlist_menu(), kPlaylistMenu);
  ExpectTree(menus.tray_menu(), kTrayMenu);
}

TEST(UiMenuTreesTest, OptionsSubmenusSitWhereOthersLookForThem) {
  MenuModel menus;
  const auto& options = menus.Item("Options").children;
  ASSERT_EQ(options.size(), 11u);
  EXPECT_EQ(options[5]->name, "Theme1");
  EXPECT_EQ(options[7]->name, "Association1");
  EXPECT_EQ(options.back()->name, "Language1");
}

TEST(UiMenuTreesTest, ItemNamesAreUniqueAcrossBothMenus) {
  MenuModel menus;
  std::vector<std::pair<int, const MenuItem*>> items;
  Flatten(menus.playlist_menu(), 0, &items);
  Flatten(menus.tray_menu(), 0, &items);
  std::set<std::string> names;
  for (auto& [depth, item] : items) {
    EXPECT_TRUE(names.insert(item->name).second) << item->name;
  }
}

TEST(UiMenuTreesTest, EachRadioSubmenuKeepsOneMark) {
  MenuModel menus;
  for (auto [first, second] : {std::pair{"Shuffle1", "RepeatAll1"},
                               {"Repeat2", "NoRepeat2"},
                               {"UP", "Down"},
                               {"Trans20", "Trans100"},
                               {"MinimizeKivoPlayer1", "NoFunction1"}}) {
    ASSERT_TRUE(menus.Click(first));
    ASSERT_TRUE(menus.Click(second));
    EXPECT_FALSE(menus.Checked(first)) << first;
    EXPECT_TRUE(menus.Checked(second)) << second;
    ASSERT_TRUE(menus.Click(second));
    EXPECT_TRUE(menus.Checked(second)) << "a radio item stays checked";
  }
  // The two mode groups are separate submenus: one does not clear the other.
  menus.Click("Shuffle1");
  menus.Click("Repeat2");
  EXPECT_TRUE(menus.Checked("Shuffle1"));
}

}  // namespace
}  // namespace kivo
