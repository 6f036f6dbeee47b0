#include <gtest/gtest.h>

#include "fakes/player_harness.h"

namespace kivo {
namespace {

using testing::PlayerHarness;

class HotkeyDispatchTest : public ::testing::Test {
 protected:
  HotkeyDispatchTest() {
    h.WriteSettings("[settings]\r\nDonationMsg=0\r\nEnableHotKey=1\r\n");
    a = h.AddFile("a.mp3");
    b = h.AddFile("b.mp3");
    h.dir.Write("list.kpp", a + "\r\n" + b + "\r\n");
    h.Start({h.dir.File("list.kpp")});
    h.player->state().playlist.playing_index = -1;
    h.player->playback().StopPlayback();
  }
  void Press(HotkeyAction action) {
    h.player->HotkeyPressed(h.player->hotkeys().IdOf(action));
    h.loop.Drain();
  }
  int State() { return h.player->playback().ChannelState(); }

  PlayerHarness h;
  std::string a, b;
};

TEST_F(HotkeyDispatchTest, OptionOnAtStartRegistersAllEight) {
  EXPECT_EQ(h.hotkeys.registered.size(), 8u);
  EXPECT_EQ(h.hotkeys.registered.begin()->second.first, kModControl);
}

TEST_F(HotkeyDispatchTest, PlayStartsLineZeroThenTogglesAndStopStops) {
  Press(HotkeyAction::kPlay);
  EXPECT_EQ(h.player->state().playlist.playing_index, 0);
  EXPECT_EQ(State(), AudioLibrary::kActivePlaying);
  Press(HotkeyAction::kPlay);
  EXPECT_EQ(State(), AudioLibrary::kActivePaused);
  Press(HotkeyAction::kStop);
  EXPECT_EQ(State(), AudioLibrary::kActiveStopped);
  Press(HotkeyAction::kNext);
  EXPECT_EQ(h.player->state().playlist.playing_index, 1);
  Press(HotkeyAction::kPrevious);
  EXPECT_EQ(h.player->state().playlist.playing_index, 0);
}

TEST_F(HotkeyDispatchTest, VolumeKeysStepByFivePercent) {
  Press(HotkeyAction::kVolUp);
  EXPECT_EQ(h.player->state().playback.volume_level, 5500);
  Press(HotkeyAction::kVolDown);
  Press(HotkeyAction::kVolDown);
  EXPECT_EQ(h.Setting("settings", "volume"), "4500");
}

TEST_F(HotkeyDispatchTest, SearchOpensOnlyWhenNoSearchWindowIsOpen) {
  int search = h.player->hotkeys().IdOf(HotkeyAction::kSearch);
  h.search_windows.script = [&](testing::FakeSearchView&) {
    h.player->HotkeyPressed(search);
  };
  h.player->HotkeyPressed(search);
  EXPECT_EQ(h.search_windows.created, 1);
  h.search_windows.script = nullptr;
  h.player->HotkeyPressed(search);
  EXPECT_EQ(h.search_windows.created, 2);
}

TEST_F(HotkeyDispatchTest, MediaControlsUseThePlayersOwnCommands) {
  h.player->MediaControl(MediaCommand::kPause);  // nothing plays
  EXPECT_EQ(State(), AudioLibrary::kActiveStopped);
  h.player->MediaControl(MediaCommand::kPlay);
  h.loop.Drain();
  EXPECT_EQ(State(), AudioLibrary::kActivePlaying);
  h.player->MediaControl(MediaCommand::kPlay);  // already playing: stays
  EXPECT_EQ(State(), AudioLibrary::kActivePlaying);
  h.player->MediaControl(MediaCommand::kPause);
  EXPECT_EQ(State(), AudioLibrary::kActivePaused);
  h.player->MediaControl(MediaCommand::kPlayPause);
  EXPECT_EQ(State(), AudioLibrary::kActivePlaying);
  h.player->MediaControl(MediaCommand::kQuit);
  EXPECT_EQ(h.window.close_requests, 1);
}

}  // namespace
}  // namespace kivo
