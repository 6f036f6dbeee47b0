#include <gtest/gtest.h>

#include <string>

#include "ui_test_support.h"

namespace kivo {
namespace {

using testing::ItemOf;
using testing::PlayerHarness;

class UiOptionRestoreTest : public ::testing::Test {
 protected:
  UiOptionRestoreTest() {
    h.loop.AddTimer("VisTime", 100, [] {});
  }
  bool Checked(const char* item) {
    return h.player->context().menus.Checked(item);
  }
  void StartWith(const std::string& settings) {
    h.WriteSettings("[settings]\r\nDonationMsg=0\r\n" + settings);
    ASSERT_TRUE(h.Start());
  }
  PlayerHarness h;
};

TEST_F(UiOptionRestoreTest, NoSettingsGiveTheDefaults) {
  StartWith("");
  EXPECT_EQ(h.window.width, 231);
  EXPECT_EQ(h.window.height, 288);
  EXPECT_EQ(h.window.left, 0);
  EXPECT_EQ(h.window.top, 0);
  EXPECT_TRUE(Checked("RepeatAll1"));
  EXPECT_TRUE(Checked("RepeatAll2"));
  EXPECT_TRUE(Checked("Trans100"));
  EXPECT_FALSE(h.window.alpha_blend);
  EXPECT_TRUE(Checked("Seekbar1"));
  EXPECT_TRUE(h.window.seekbar_visible);
  EXPECT_FALSE(h.window.level_bars);
  EXPECT_FALSE(h.loop.TimerEnabled("VisTime"));
  EXPECT_FALSE(h.tray.icon_visible);
  EXPECT_FALSE(h.window.top_most);
  EXPECT_TRUE(Checked("NoFunction1"));
  EXPECT_TRUE(Checked("UP"));
  EXPECT_TRUE(Checked("Ftp1"));
  EXPECT_TRUE(Checked("RememberPlaylist1"));
  EXPECT_FALSE(Checked("SelectAll1"));
  EXPECT_FALSE(ItemOf(h, "History1").visible);
  EXPECT_FALSE(ItemOf(h, "SortByABC").visible);
  EXPECT_EQ(ItemOf(h, "Play").shortcut, 'X');
  EXPECT_EQ(ItemOf(h, "AddUrl").shortcut, 'L' | kShortcutCtrl);
  EXPECT_EQ(h.window.slim_command_text, "Slim Mode\tF8");
  EXPECT_FALSE(h.window.slim_command_checked);
  // With no language file every caption is its language-table default.
  EXPECT_EQ(ItemOf(h, "MinimizeToTray").caption, "Minimize To tray");
  EXPECT_EQ(ItemOf(h, "LastFM1").caption, "Last.FM");
  EXPECT_EQ(ItemOf(h, "Transparent").caption, "Transparency");
}

TEST_F(UiOptionRestoreTest, EveryStoredOptionComesBack) {
  bool handshake = false;
  int hotkeys = -1;
  h.player->state().hooks.start_scrobbler_handshake = [&] { handshake = true; };
  h.player->state().hooks.apply_global_hotkeys = [&](bool on) { hotkeys = on; };
  StartWith(
      "Mode=1\r\nOnTop=1\r\nShowTray=1\r\nMinimizeToTray=1\r\n"
      "Transparent=60\r\nShowTaskbar=1\r\nVUmeter=1\r\nEnableHotKey=1\r\n"
      "Seekbar=0\r\nMSN=1\r\nCloseToTray=1\r\nhistory=1\r\nFTPPassive=0\r\n"
      "LastFM=1\r\nShowBalloonHints=1\r\nRememberPlaylist=0\r\nESCKey=2\r\n"
      "TimeDisplay=0\r\n"
      "[Size]\r\nWidth=400\r\nHeight=500\r\n"
      "[Main.Position]\r\nLeft=30\r\nTop=40\r\n"
      "[ShortCuts]\r\nPlay=0x70\r\nQueue=300\r\nAddURl=80\r\nStop=-1\r\n");
  EXPECT_TRUE(Checked("Shuffle1"));
  EXPECT_TRUE(Checked("Shuffle2"));
  EXPECT_FALSE(Checked("RepeatAll1"));
  for (const char* item :
       {"AlwaysOnTop", "ShowTrayIcon", "MinimizeToTray", "Taskbar1", "Vis",
        "Globalehotkeys1", "MSNSong1", "CloseToTray1", "History2", "LastFM1",
        "ShowBalloonHints1", "Trans60", "ExitKivoPlayer1", "Down"}) {
    EXPECT_TRUE(Checked(item)) << item;
  }
  for (const char* item : {"Seekbar1", "Ftp1", "RememberPlaylist1", "UP"}) {
    EXPECT_FALSE(Checked(item)) << item;
  }
  EXPECT_EQ(h.window.width, 400);
  EXPECT_EQ(h.window.height, 500);
  EXPECT_EQ(h.window.left, 30);
  EXPECT_EQ(h.window.top, 40);
  EXPECT_TRUE(h.window.alpha_blend);
  EXPECT_EQ(h.window.alpha, 102);
  EXPECT_TRUE(h.window.top_most);
  EXPECT_TRUE(h.tray.icon_visible);
  EXPECT_TRUE(h.tray.minimize_to_tray);
  EXPECT_TRUE(h.window.level_bars);
  EXPECT_TRUE(h.loop.TimerEnabled("VisTime"));
  EXPECT_FALSE(h.window.seekbar_visible);
  EXPECT_TRUE(ItemOf(h, "History1").visible) << "the key is spelled history";
  EXPECT_TRUE(handshake);
  EXPECT_EQ(hotkeys, 1);
  EXPECT_EQ(ItemOf(h, "Play").shortcut, 0x70) << "F1, as Always On Top";
  EXPECT_EQ(ItemOf(h, "Queue1").shortcut, 0);
  EXPECT_EQ(ItemOf(h, "AddUrl").shortcut, 80 | kShortcutCtrl);
  EXPECT_EQ(ItemOf(h, "Stop").shortcut, 0) << "-1 keeps 0xFFFF: above 255";
  EXPECT_EQ(ItemOf(h, "Remove").shortcut, 0x2E) << "Delete is fixed";
}

TEST_F(UiOptionRestoreTest, UnlistedTransparencyUsesTransparentValue) {
  StartWith("Transparent=30\r\nTransparentValue=200\r\n");
  EXPECT_TRUE(h.window.alpha_blend);
  EXPECT_EQ(h.window.alpha, 200);
  for (const char* item :
       {"Trans20", "Trans40", "Trans50", "Trans60", "Trans80", "Trans100"}) {
    EXPECT_FALSE(Checked(item)) << item;
  }
}

TEST_F(UiOptionRestoreTest, TransparentValueKeepsItsLowEightBits) {
  StartWith("Transparent=7\r\nTransparentValue=0x1FF\r\n");
  EXPECT_EQ(h.window.alpha, 255);
}

TEST_F(UiOptionRestoreTest, SlimModeStartsSlimAndWritesTheOldHeightBack) {
  h.WriteSettings(
      "[settings]\r\nDonationMsg=0\r\nSlimMode=1\r\n[Size]\r\nHeight=300\r\n");
  ASSERT_TRUE(h.Start());
  EXPECT_EQ(h.window.height, 0);
  EXPECT_TRUE(h.window.slim_command_checked);
  EXPECT_TRUE(Checked("SlimMode"));
  h.player->Shutdown();
  EXPECT_EQ(h.Setting("Size", "Height"), "300");

  PlayerHarness again;
  again.WriteSettings(h.dir.Read("settings.ini"));
  ASSERT_TRUE(again.Start());
  again.player->MenuItemClicked("SlimMode");
  EXPECT_EQ(again.window.height, 300);
  EXPECT_FALSE(again.window.slim_command_checked);
}

TEST_F(UiOptionRestoreTest, AllAssociationsCheckSelectAll) {
  std::string section = "[FileAssociation]\r\n";
  for (const char* key :
       {"MP3", "MP2", "MP1", "OGG", "WMA", "FLAC", "WAV", "M4A",  "CDA",
        "IT",  "XM",  "S3M", "MTM", "UMX", "MO3",  "MOD", "AIFF", "AC3",
        "APE", "MPC", "OFR", "SPX", "TTA", "WV",   "M3U", "PLS"}) {
    section += std::string(key) + "=1\r\n";
  }
  StartWith(section);
  EXPECT_TRUE(Checked("M4A1"));
  EXPECT_TRUE(Checked("PLS1"));
  EXPECT_TRUE(Checked("SelectAll1"));
}

TEST_F(UiOptionRestoreTest, HostileValuesGiveQuietDefaults) {
  std::string huge(1 << 20, 'x');
  StartWith(
      "Mode=7\r\nESCKey=7\r\nTransparent=\r\nOnTop=true\r\n"
      "Seekbar=2\r\nTheme=" +
      huge + "\r\nLanguage=" + huge + "\r\nSlimMode=yes\r\nvolume=" + huge +
      "\r\n\x01\x02=\xFF\r\n[Size]\r\nWidth=12abc\r\nHeight=0x\r\n"
      "[ShortCuts]\r\nPlay=0x10058\r\nNext=junk\r\n");
  for (const char* item :
       {"Shuffle1", "Repeat1", "NoRepeat1", "RepeatAll1", "MinimizeKivoPlayer1",
        "ExitKivoPlayer1", "NoFunction1", "AlwaysOnTop", "SlimMode"}) {
    EXPECT_FALSE(Checked(item)) << item;
  }
  EXPECT_TRUE(Checked("Seekbar1")) << "any non-zero number is true";
  EXPECT_EQ(h.window.width, 231);
  EXPECT_EQ(h.window.height, 288);
  EXPECT_EQ(ItemOf(h, "Play").shortcut, 'X') << "only the low 16 bits count";
  EXPECT_EQ(ItemOf(h, "Next").shortcut, 'B');
  EXPECT_EQ(h.window.playlist_look.background, 0x000000u);
  EXPECT_EQ(ItemOf(h, "Play").caption, "Play");
  EXPECT_TRUE(h.dialogs.messages.empty());
  h.window.selected = -1;
  h.player->PlaylistMenuPopup();
  EXPECT_EQ(ItemOf(h, "Volumestat").caption, "Volume: 50%");
}

TEST_F(UiOptionRestoreTest, BalloonTipsOffGreysTheItemButKeepsItsMark) {
  h.tray.balloons_supported = false;
  StartWith("ShowBalloonHints=1\r\n");
  EXPECT_TRUE(Checked("ShowBalloonHints1"));
  EXPECT_FALSE(ItemOf(h, "ShowBalloonHints1").enabled);
}

TEST_F(UiOptionRestoreTest, CurrentThemeAndLanguageAreMarkedByExactName) {
  h.dir.Write("Theme/Night.ini", "[Theme]\r\nbackground_color=#102030\r\n");
  h.dir.Write("Theme/Default.ini", "[Theme]\r\n");
  h.dir.Write("language/German.lng", "[menu]\r\n01=Abspielen\r\n");
  h.dir.Write("language/English.lng", "");
  StartWith("Theme=Night\r\nLanguage=german\r\n");
  const MenuItem& themes = ItemOf(h, "Theme1");
  ASSERT_EQ(themes.children.size(), 2u);
  EXPECT_EQ(themes.children[0]->caption, "Default");
  EXPECT_TRUE(themes.children[1]->checked);
  EXPECT_EQ(h.window.playlist_look.background, 0x302010u);
  for (const auto& item : ItemOf(h, "Language1").children) {
    EXPECT_FALSE(item->checked) << "german is not German";
  }
  EXPECT_EQ(ItemOf(h, "Play").caption, "Abspielen")
      << "the file itself is found without regard to case";
}

}  // namespace
}  // namespace kivo
