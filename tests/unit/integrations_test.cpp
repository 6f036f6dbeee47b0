#include <gtest/gtest.h>

#include "core/integrations/file_associations.h"
#include "core/integrations/global_hotkeys.h"
#include "core/integrations/now_playing_notice.h"
#include "fakes/player_harness.h"

namespace kivo {
namespace {

using testing::FakeAudioLibrary;
using testing::PlayerHarness;

TEST(HotkeyModifierTest, ChoicesMapToModValues) {
  EXPECT_EQ(HotkeyModifier(0), 0);
  EXPECT_EQ(HotkeyModifier(1), kModControl);
  EXPECT_EQ(HotkeyModifier(2), kModAlt);
  EXPECT_EQ(HotkeyModifier(3), kModShift);
  EXPECT_EQ(HotkeyModifier(4), kModWin);
  EXPECT_EQ(HotkeyModifier(-1), kModControl);
  EXPECT_EQ(HotkeyModifier(7), kModControl);
}

TEST(GlobalHotkeysTest, RegistersTheTableWithItsDefaultsAndFlags) {
  PlayerHarness h;
  h.WriteSettings(
      "[settings]\r\nhotkey_key=2\r\n[Hot_keys]\r\nEnable_Stop=0\r\n"
      "Search=0x51\r\n");
  GlobalHotkeys hotkeys(h.player->context());
  hotkeys.RegisterHotkeys();
  EXPECT_EQ(h.hotkeys.registered.size(), 7u);
  EXPECT_EQ(hotkeys.IdOf(HotkeyAction::kStop), 0);
  int play = hotkeys.IdOf(HotkeyAction::kPlay);
  EXPECT_EQ(h.hotkeys.registered.at(play), (std::pair<int, int>{kModAlt, 88}));
  int search = hotkeys.IdOf(HotkeyAction::kSearch);
  EXPECT_EQ(h.hotkeys.registered.at(search).second, 0x51);
  EXPECT_EQ(hotkeys.Dispatch(play), HotkeyAction::kPlay);
  EXPECT_EQ(hotkeys.Dispatch(search), HotkeyAction::kSearch);
  EXPECT_EQ(hotkeys.Dispatch(0), HotkeyAction::kNone);
  EXPECT_EQ(hotkeys.Dispatch(99), HotkeyAction::kNone);
}

TEST(GlobalHotkeysTest, UnregisterClearsEveryIdAndRegisteringAgainWorks) {
  PlayerHarness h;
  GlobalHotkeys hotkeys(h.player->context());
  hotkeys.RegisterHotkeys();
  int play = hotkeys.IdOf(HotkeyAction::kPlay);
  hotkeys.UnregisterHotkeys();
  hotkeys.UnregisterHotkeys();
  EXPECT_TRUE(h.hotkeys.registered.empty());
  EXPECT_EQ(hotkeys.Dispatch(play), HotkeyAction::kNone);
  h.player->context().menus.SetChecked("Globalehotkeys1", true);
  hotkeys.OptionClicked();
  EXPECT_EQ(h.hotkeys.registered.size(), 8u);
  EXPECT_EQ(h.Setting("settings", "EnableHotKey"), "1");
}

TEST(GlobalHotkeysTest, AKeyHeldElsewhereIsIgnored) {
  PlayerHarness h;
  h.hotkeys.refused_keys = {86};
  GlobalHotkeys hotkeys(h.player->context());
  hotkeys.RegisterHotkeys();
  EXPECT_EQ(h.hotkeys.registered.size(), 7u);
}

TEST(NowPlayingNoticeTest, LocalFilesSendTheirTagTitleStreamsTheirText) {
  PlayerHarness h;
  FakeAudioLibrary::Media media;
  media.tags = {{"%TITL", "T"}, {"%ARTI", "A"}};
  std::string file = h.AddFile("a.mp3", media);
  PlaylistModel model;
  model.AppendEntry(file, "a", true);
  model.AppendEntry("http://radio/x", "[S] http://radio/x", false);
  model.playing_index = 0;
  SendNowPlaying(h.player->context(), model, "a", true);
  model.playing_index = 1;
  SendNowPlaying(h.player->context(), model, "Artist - Song", true);
  SendNowPlaying(h.player->context(), model, "Artist - Song", false);
  EXPECT_EQ(h.now_playing.announced,
            (std::vector<std::string>{"T - A ()", "Artist - Song", ""}));
}

TEST(NowPlayingNoticeTest, TheOptionSendsFirstThenStores) {
  PlayerHarness h;
  PlaylistModel model;
  model.AppendEntry("http://radio/x", "[S] http://radio/x", false);
  h.player->context().menus.SetChecked("MSNSong1", true);
  NowPlayingOptionClicked(h.player->context(), model);  // nothing playing
  EXPECT_TRUE(h.now_playing.announced.empty());
  model.playing_index = 0;
  NowPlayingOptionClicked(h.player->context(), model);
  h.player->context().menus.SetChecked("MSNSong1", false);
  NowPlayingOptionClicked(h.player->context(), model);
  EXPECT_EQ(h.now_playing.announced,
            (std::vector<std::string>{"[S] http://radio/x", ""}));
  EXPECT_EQ(h.Setting("settings", "MSN"), "0");
}

TEST(FileAssociationsTest, TheAacItemDoesM4aThenAacAndStoresBoth) {
  PlayerHarness h;
  FileAssociations associations(h.player->context());
  associations.Wire();
  MenuModel& menus = h.player->context().menus;
  menus.Click("M4A1");
  menus.Click("MP31");
  menus.Click("MP31");
  EXPECT_EQ(h.associations.log,
            (std::vector<std::string>{"+M4A", "+AAC", "+MP3", "-MP3"}));
  EXPECT_EQ(h.Setting("FileAssociation", "M4A"), "1");
  EXPECT_EQ(h.Setting("FileAssociation", "AAC"), "1");
  EXPECT_EQ(h.Setting("FileAssociation", "MP3"), "0");
}

TEST(FileAssociationsTest, AFailedWriteStopsSelectAllAndStoresNothingOfIt) {
  PlayerHarness h;
  h.associations.failing_type = "WAV";
  FileAssociations associations(h.player->context());
  associations.Wire();
  h.player->context().menus.Click("SelectAll1");
  EXPECT_EQ(h.associations.log,
            (std::vector<std::string>{"+MP3", "+MP2", "+MP1", "+OGG", "+WMA",
                                      "+FLAC"}));
  EXPECT_EQ(h.dialogs.messages.back().text, "Failed to set data for ''");
  EXPECT_EQ(h.Setting("FileAssociation", "FLAC"), "1");
  EXPECT_EQ(h.Setting("FileAssociation", "WAV"), "<absent>");
}

TEST(FileAssociationsTest, SelectAllOnThenOffReachesEveryType) {
  PlayerHarness h;
  FileAssociations associations(h.player->context());
  associations.Wire();
  MenuModel& menus = h.player->context().menus;
  menus.Click("SelectAll1");
  EXPECT_EQ(h.associations.log.size(), 27u);
  EXPECT_TRUE(menus.Checked("PLS1"));
  menus.Click("SelectAll1");
  EXPECT_EQ(h.associations.log.size(), 54u);
  EXPECT_FALSE(menus.Checked("MP31"));
  EXPECT_EQ(h.Setting("FileAssociation", "PLS"), "0");
}

}  // namespace
}  // namespace kivo
