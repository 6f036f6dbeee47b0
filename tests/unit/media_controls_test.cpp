// What the desktop's media controls are told: after every change of the
// playback status, whatever caused it, the last status they read is the
// player's own.
#include <gtest/gtest.h>

#include "core/playback/audio_options.h"
#include "playback_fixture.h"

namespace kivo {
namespace {

using testing::PlaybackFixture;

class MediaControlsTest : public ::testing::Test {
 protected:
  MediaControlsTest() { f.h.now_playing.events = f.h.player.get(); }

  // The status a desktop widget shows: the one of the last notice.
  PlayerStatus Told() {
    if (f.h.now_playing.told.empty()) return PlayerStatus{};
    return f.h.now_playing.told.back();
  }
  void ExpectToldMatchesThePlayer(const char* after) {
    SCOPED_TRACE(after);
    PlayerStatus now = f.h.player->Status();
    EXPECT_EQ(Told().channel_state, now.channel_state);
    EXPECT_EQ(Told().can_play, now.can_play);
    EXPECT_EQ(Told().can_go_next, now.can_go_next);
    EXPECT_EQ(Told().can_go_previous, now.can_go_previous);
  }

  PlaybackFixture f;
};

TEST_F(MediaControlsTest, TheNaturalEndOfTheLastLineIsToldAsStopped) {
  f.AddEntry("a.mp3");
  f.Click("NoRepeat1");
  f.Play(0);
  EXPECT_EQ(Told().channel_state, AudioLibrary::kActivePlaying);
  f.EndOfStream();
  EXPECT_EQ(f.h.player->Status().channel_state, AudioLibrary::kActiveStopped);
  ExpectToldMatchesThePlayer("natural end");
}

TEST_F(MediaControlsTest, AnEntryThatFailsToOpenIsToldAsStopped) {
  f.AddEntry("a.mp3");
  f.AddMissing("gone.mp3");
  f.Play(0);
  f.Play(1);
  EXPECT_EQ(f.h.player->Status().channel_state, AudioLibrary::kActiveStopped);
  ExpectToldMatchesThePlayer("open failure");
}

TEST_F(MediaControlsTest, ADeviceSwitchIsToldAsStopped) {
  f.h.audio.AddDevice("USB");
  BuildDeviceMenu(f.h.player->context(), f.state());
  f.AddEntry("a.mp3");
  f.Play(0);
  f.Click(
      f.h.player->context().menus.Item("AudioDevice1").children.at(1)->name);
  EXPECT_EQ(f.h.player->Status().channel_state, AudioLibrary::kActiveStopped);
  ExpectToldMatchesThePlayer("device switch");
}

TEST_F(MediaControlsTest, PlaylistEditsAreToldAndAnEmptyPlaylistCannotPlay) {
  f.AddEntry("a.mp3");
  f.AddEntry("b.mp3");
  f.AddEntry("c.mp3");
  f.Play(1);
  ExpectToldMatchesThePlayer("playing the middle line");
  f.h.window.selected = 1;
  f.Click("Remove");
  ExpectToldMatchesThePlayer("removing the playing entry");
  f.Click("Clear");
  ExpectToldMatchesThePlayer("New Playlist");
  // The sound goes on after New Playlist; once it ends nothing can play.
  f.EndOfStream();
  EXPECT_FALSE(f.h.player->Status().can_play);
  ExpectToldMatchesThePlayer("the end after New Playlist");
}

TEST_F(MediaControlsTest, EverySeekOfTheUserIsTold) {
  f.AddEntry("a.mp3");
  f.Play(0);
  f.h.player->SeekbarMouseDown(MouseButton::kLeft, 50, 104, false);
  EXPECT_EQ(f.h.now_playing.seeks, 1);
  f.h.player->KeyDown(vk::kRight, ShiftState{});
  EXPECT_EQ(f.h.now_playing.seeks, 2);
  f.h.player->SeekToSeconds(10);  // from the media widget itself
  EXPECT_EQ(f.h.now_playing.seeks, 3);
  f.Click("Stop");
  f.h.player->SeekToSeconds(10);  // nothing to seek in
  EXPECT_EQ(f.h.now_playing.seeks, 3);
}

// Quit from a media widget ends the program as the tray menu's Close does,
// also with Close To Tray on, which stays on for the next start.
TEST_F(MediaControlsTest, QuitClosesAsTheTrayMenusCloseDoes) {
  MenuModel& menus = f.h.player->context().menus;
  menus.SetChecked("CloseToTray1", true);
  f.Click("CloseToTray1");  // the click toggles it: off, then on again
  f.Click("CloseToTray1");
  ASSERT_TRUE(menus.Checked("CloseToTray1"));
  f.h.player->MediaControl(MediaCommand::kQuit);
  EXPECT_EQ(f.h.window.close_requests, 1);
  EXPECT_FALSE(menus.Checked("CloseToTray1"));
  EXPECT_TRUE(f.h.player->CloseRequest()) << "the close is not turned away";
  EXPECT_EQ(f.h.Setting("settings", "CloseToTray"), "1");
}

}  // namespace
}  // namespace kivo
