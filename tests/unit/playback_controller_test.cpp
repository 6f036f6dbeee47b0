#include <gtest/gtest.h>

#include "playback_fixture.h"

namespace kivo {
namespace {

using testing::FakeAudioLibrary;
using testing::PlaybackFixture;

TEST(PlayEntryTest, AnEmptyPlaylistStartsNothing) {
  PlaybackFixture f;
  f.playback().PlayEntry();
  EXPECT_EQ(f.model().playing_index, -1);
  EXPECT_EQ(f.h.loop.waiting_workers(), 0u);
  f.Click("Play1");
  EXPECT_EQ(f.h.audio.open_count(), 0);
}

TEST(PlayEntryTest, ALocalTrackOpensOnTheWorkerAndIsHandedToLastFm) {
  PlaybackFixture f;
  FakeAudioLibrary::Media media;
  media.tags = {{"%TITL", "Rock & Roll"}, {"%ARTI", "Band"}};
  f.AddEntry("a.mp3");
  std::string b = f.AddEntry("b.mp3", media);
  f.model().SetLine(1, "2 > b");
  f.state().played_seconds = 99;
  f.state().track_played = true;
  f.h.window.selected = 1;
  f.h.player->PlaylistDoubleClick();

  // Nothing plays until the worker has opened the channel.
  EXPECT_EQ(f.h.audio.open_count(), 0);
  EXPECT_EQ(f.model().Line(1), "b");
  EXPECT_EQ(f.h.player->context().menus.Item("PlayingSong").caption,
            "Rock && Roll - Band ()");
  EXPECT_EQ(f.h.tray.tooltip, "Rock &&& Roll - Band ()");
  EXPECT_EQ(f.log, (std::vector<std::string>{"unqueue", "now:b-"}));
  f.h.window.selected = -1;
  f.h.loop.Drain();

  EXPECT_EQ(f.PlayingLocation(), b);
  EXPECT_EQ(f.playback().ChannelState(), AudioLibrary::kActivePlaying);
  EXPECT_EQ(f.h.window.selected, 1);
  EXPECT_TRUE(f.h.loop.TimerEnabled("Time"));
  EXPECT_TRUE(f.h.player->lastfm().CountingPlayTime());
  EXPECT_EQ(f.state().played_seconds, 0);
  EXPECT_FALSE(f.state().track_played);
  EXPECT_GT(f.state().track_start_time, 1600000000);
  EXPECT_EQ(f.log.back(), "scrobble");
  EXPECT_TRUE(f.h.window.seekbar_enabled);
  EXPECT_EQ(f.h.window.seekbar_max, 180);
}

TEST(PlayEntryTest, ADoubleClickWithoutSelectionPlaysLineZero) {
  PlaybackFixture f;
  std::string a = f.AddEntry("a.mp3");
  f.AddEntry("b.mp3");
  f.h.window.selected = -1;
  f.h.player->PlaylistDoubleClick();
  f.h.loop.Drain();
  EXPECT_EQ(f.model().playing_index, 0);
  EXPECT_EQ(f.PlayingLocation(), a);
}

TEST(PlayEntryTest, ALocationThatOpensAsNothingShowsTheErrorAndStays) {
  PlaybackFixture f;
  f.AddEntry("a.mp3");
  std::string broken = f.AddMissing("gone.mp3");
  f.Play(0);
  f.h.window.selected = 0;
  f.Play(1);
  EXPECT_EQ(f.model().Line(1), "[Error] " + broken);
  EXPECT_FALSE(f.h.loop.TimerEnabled("Time"));
  EXPECT_EQ(f.h.audio.open_count(), 0);
  EXPECT_EQ(f.model().playing_index, 1);
  EXPECT_EQ(f.h.window.selected, 0);
  EXPECT_FALSE(f.h.window.seekbar_enabled);
}

TEST(PlayEntryTest, AnOutputThatWillNotStartShowsTheErrorUntilPlayWorks) {
  PlaybackFixture f;
  std::string a = f.AddEntry("a.mp3");
  f.h.audio.fail_play = true;
  f.Play(0);
  EXPECT_EQ(f.model().Line(0), "[Error] " + a);
  EXPECT_FALSE(f.h.loop.TimerEnabled("Time"));
  EXPECT_FALSE(f.h.player->lastfm().CountingPlayTime());
  EXPECT_EQ(f.model().playing_index, 0);
  EXPECT_EQ(f.playback().ChannelState(), AudioLibrary::kActiveStopped);

  // Once the device works again, the tray's Play starts the entry anew.
  f.h.audio.fail_play = false;
  f.Click("Play1");
  f.h.loop.Drain();
  EXPECT_EQ(f.playback().ChannelState(), AudioLibrary::kActivePlaying);
  EXPECT_EQ(f.model().Line(0), "a");
  EXPECT_TRUE(f.h.loop.TimerEnabled("Time"));
}

TEST(PlayEntryTest, OfTwoOpensUnderWayOnlyTheNewerOnePlays) {
  PlaybackFixture f;
  f.AddEntry("a.mp3");
  std::string b = f.AddEntry("b.mp3");
  std::string c = f.AddEntry("c.mp3");
  f.model().playing_index = 0;
  f.playback().PlayEntry();
  f.model().playing_index = 1;
  f.playback().PlayEntry();
  f.h.loop.Drain();
  ASSERT_EQ(f.h.audio.open_count(), 1);
  EXPECT_EQ(f.PlayingLocation(), b);

  // The older open finished and reported before the newer request arrived.
  f.model().playing_index = 0;
  f.playback().PlayEntry();
  ASSERT_TRUE(f.h.loop.RunNextWorker());
  f.model().playing_index = 2;
  f.playback().PlayEntry();
  f.h.loop.Drain();
  ASSERT_EQ(f.h.audio.open_count(), 1);
  EXPECT_EQ(f.PlayingLocation(), c);
  EXPECT_EQ(f.playback().ChannelState(), AudioLibrary::kActivePlaying);
}

TEST(PlayEntryTest, AnEndThatArrivesAfterTheNextStartIsIgnored) {
  PlaybackFixture f;
  f.AddEntry("a.mp3");
  f.AddEntry("b.mp3");
  std::string c = f.AddEntry("c.mp3");
  f.playback().SetPlayMode(kRepeatAll);
  f.Play(0);
  f.h.audio.FireEnd(f.Current());  // posted, not yet handled
  f.Play(2);
  EXPECT_EQ(f.model().playing_index, 2);
  EXPECT_EQ(f.PlayingLocation(), c);
  EXPECT_EQ(f.h.audio.open_count(), 1);
}

struct ModeCase {
  int mode;
  int after_end;  // playing index after the end of the last line; -2: same
                  // channel, nothing followed
};

class LastLineTest : public ::testing::TestWithParam<ModeCase> {};

TEST_P(LastLineTest, TheEndFollowsTheModeButNextNeverWraps) {
  PlaybackFixture f;
  f.AddEntry("a.mp3");
  f.AddEntry("b.mp3");
  f.AddEntry("c.mp3");
  if (GetParam().mode != kNoPlayMode) {
    f.playback().SetPlayMode(GetParam().mode);
  } else {
    // As a stored Mode outside 1..4 leaves it.
    for (const char* item :
         {"Shuffle1", "Repeat1", "NoRepeat1", "RepeatAll1"}) {
      f.h.player->context().menus.SetChecked(item, false);
    }
  }
  f.Play(2);
  AudioLibrary::Handle first = f.Current();

  f.Click("Next");
  EXPECT_EQ(f.Current(), first);
  EXPECT_EQ(f.model().playing_index, 2);

  f.EndOfStream();
  if (GetParam().after_end == -2) {
    EXPECT_EQ(f.Current(), first);
    EXPECT_EQ(f.model().playing_index, 2);
  } else {
    EXPECT_NE(f.Current(), first);
    EXPECT_EQ(f.model().playing_index, GetParam().after_end);
    EXPECT_EQ(f.playback().ChannelState(), AudioLibrary::kActivePlaying);
  }
}

INSTANTIATE_TEST_SUITE_P(Modes, LastLineTest,
                         ::testing::Values(ModeCase{kRepeat, 2},
                                           ModeCase{kNoRepeat, -2},
                                           ModeCase{kRepeatAll, 0},
                                           ModeCase{kNoPlayMode, -2}));

TEST(PlayModeTest, RepeatReplaysAtTheEndWhileNextMovesOn) {
  PlaybackFixture f;
  f.AddEntry("a.mp3");
  std::string b = f.AddEntry("b.mp3");
  f.Click("Repeat2");
  EXPECT_TRUE(f.h.player->context().menus.Checked("Repeat1"));
  EXPECT_EQ(f.h.Setting("settings", "Mode"), "2");
  f.Play(0);
  f.EndOfStream();
  EXPECT_EQ(f.model().playing_index, 0);
  f.Click("Next1");
  EXPECT_EQ(f.PlayingLocation(), b);
  f.Click("Previous");
  EXPECT_EQ(f.model().playing_index, 0);
  AudioLibrary::Handle at_zero = f.Current();
  f.Click("Previous1");
  EXPECT_EQ(f.Current(), at_zero);
}

TEST(PlayModeTest, TheQueueComesBeforeTheModeAtTheEndAndOnNext) {
  PlaybackFixture f;
  f.AddEntry("a.mp3");
  f.AddEntry("b.mp3");
  std::string c = f.AddEntry("c.mp3");
  f.playback().SetPlayMode(kRepeat);
  f.state().queue_list = {c, "/not/in/list.mp3"};
  f.playback().hooks().pop_queue = [&f] {
    f.log.push_back("pop");
    std::string first = f.state().queue_list.front();
    f.state().queue_list.erase(f.state().queue_list.begin());
    return f.model().FindLocation(first);
  };
  f.Play(0);
  f.log.clear();
  f.EndOfStream();
  EXPECT_EQ(f.model().playing_index, 2);
  ASSERT_GE(f.log.size(), 3u);
  EXPECT_EQ(f.log[0], "submit");
  EXPECT_EQ(f.log[1], "pop");
  EXPECT_EQ(f.log[2], "unqueue");

  // A queued location gone from the playlist plays line 0.
  f.Click("Next");
  EXPECT_EQ(f.model().playing_index, 0);
  EXPECT_TRUE(f.state().queue_list.empty());
  f.Click("Next");
  EXPECT_EQ(f.model().playing_index, 1);
}

TEST(BalloonTest, OnlyATrackStartedByTheEndOfTheLastGetsOne) {
  PlaybackFixture f;
  f.h.WriteSettings("[settings]\r\nBalloonHintTimeOut=4\r\n");
  f.h.player->context().menus.SetChecked("ShowBalloonHints1", true);
  f.AddEntry("a.mp3");
  f.AddEntry("b.mp3");
  f.playback().SetPlayMode(kNoRepeat);
  f.Play(0);
  EXPECT_TRUE(f.h.tray.balloons.empty());
  f.EndOfStream();
  ASSERT_EQ(f.h.tray.balloons.size(), 1u);
  EXPECT_EQ(f.h.tray.balloons[0].title, "Now Playing:");
  EXPECT_EQ(f.h.tray.balloons[0].text, "b");
  EXPECT_EQ(f.h.tray.balloons[0].seconds, 4);

  // The end at the last line starts nothing; a later start by hand stays
  // without a balloon.
  f.EndOfStream();
  f.Play(0);
  EXPECT_EQ(f.h.tray.balloons.size(), 1u);

  f.h.player->context().menus.SetEnabled("ShowBalloonHints1", false);
  f.EndOfStream();
  EXPECT_EQ(f.h.tray.balloons.size(), 1u);
}

TEST(PlayEntryTest, WithLastFmOffNoTimerTicksForThePlayTimeCount) {
  PlaybackFixture f;
  f.AddEntry("a.mp3");
  f.Play(0);
  EXPECT_TRUE(f.h.player->lastfm().CountingPlayTime());
  EXPECT_FALSE(f.h.loop.TimerEnabled("FMTime"));
  f.h.player->context().menus.SetChecked("LastFM1", true);
  f.Click("Play1");  // paused
  f.Click("Play1");  // and on again, now with Last.fm on
  EXPECT_TRUE(f.h.loop.TimerEnabled("FMTime"));
}

TEST(PlayPauseTest, PauseResumeAndStopFollowTheChannel) {
  PlaybackFixture f;
  f.AddEntry("a.mp3");
  f.Play(0);
  f.Click("Play1");
  EXPECT_EQ(f.playback().ChannelState(), AudioLibrary::kActivePaused);
  EXPECT_FALSE(f.h.player->lastfm().CountingPlayTime());
  f.Click("Play1");
  EXPECT_EQ(f.playback().ChannelState(), AudioLibrary::kActivePlaying);
  EXPECT_TRUE(f.h.player->lastfm().CountingPlayTime());

  f.h.window.SetCaption("Kivo Player  -  00:10 / 03:00");
  f.state().played_seconds = 12;
  f.log.clear();
  f.Click("Stop1");
  EXPECT_EQ(f.playback().ChannelState(), AudioLibrary::kActiveStopped);
  EXPECT_EQ(f.h.window.Caption(), "Kivo Player");
  EXPECT_EQ(f.h.tray.tooltip, "Kivo Player");
  EXPECT_EQ(f.h.window.seekbar_position, 0);
  EXPECT_FALSE(f.h.window.seekbar_enabled);
  EXPECT_FALSE(f.h.loop.TimerEnabled("Time"));
  EXPECT_FALSE(f.h.player->lastfm().CountingPlayTime());
  EXPECT_EQ(f.state().played_seconds, 0);
  EXPECT_EQ(f.log, (std::vector<std::string>{"now:-"}));
  EXPECT_EQ(f.model().playing_index, 0);
  EXPECT_TRUE(f.h.dialogs.messages.empty());

  // The tray's Play restarts a stopped entry on a new channel.
  AudioLibrary::Handle stopped = f.Current();
  f.Click("Play1");
  EXPECT_NE(f.Current(), stopped);
  EXPECT_EQ(f.playback().ChannelState(), AudioLibrary::kActivePlaying);
}

TEST(PlayPauseTest, StopWinsOverAnOpenStillUnderWay) {
  PlaybackFixture f;
  f.AddStream("http://radio/slow", AudioLibrary::kCTypeStreamMp3);
  f.model().playing_index = 0;
  f.playback().PlayEntry();
  // Stop comes while the worker still connects; the station answers later.
  f.h.player->MenuItemClicked("Stop1");
  f.h.loop.Drain();
  EXPECT_TRUE(f.h.audio.OpenChannels().empty());
  EXPECT_EQ(f.playback().ChannelState(), AudioLibrary::kActiveStopped);
  EXPECT_FALSE(f.h.loop.TimerEnabled("Time"));
  EXPECT_FALSE(f.playback().OpenPending());
  EXPECT_EQ(f.model().playing_index, 0);

  // Play after such a Stop starts the entry afresh.
  f.Click("Play1");
  EXPECT_EQ(f.playback().ChannelState(), AudioLibrary::kActivePlaying);
}

TEST(PlayPauseTest, TheTrayPlayLeavesAStalledStreamAlone) {
  PlaybackFixture f;
  f.AddStream("http://radio/live", AudioLibrary::kCTypeStreamMp3);
  f.Play(0);
  f.h.audio.SetState(f.Current(), AudioLibrary::kActiveStalled);
  f.Click("Play1");
  EXPECT_EQ(f.playback().ChannelState(), AudioLibrary::kActiveStalled);
}

TEST(PlayPauseTest, ThePlaylistPlayPausesRestartsOrSwitchesBySelection) {
  PlaybackFixture f;
  f.AddEntry("a.mp3");
  std::string b = f.AddEntry("b.mp3");
  f.Play(0);
  f.h.window.selected = 0;
  f.Click("Play");
  EXPECT_EQ(f.playback().ChannelState(), AudioLibrary::kActivePaused);

  f.Click("Stop");
  AudioLibrary::Handle stopped = f.Current();
  f.Click("Play");
  EXPECT_NE(f.Current(), stopped);
  EXPECT_EQ(f.playback().ChannelState(), AudioLibrary::kActivePlaying);

  f.h.window.selected = 1;
  f.Click("Play");
  EXPECT_EQ(f.PlayingLocation(), b);
}

TEST(StatusTest, TellsTheMediaControlsWhatIsPossible) {
  PlaybackFixture f;
  f.AddEntry("a.mp3");
  f.AddEntry("b.mp3");
  f.Play(0);
  PlayerStatus status = f.h.player->Status();
  EXPECT_EQ(status.channel_state, AudioLibrary::kActivePlaying);
  EXPECT_EQ(status.length_seconds, 180);
  EXPECT_TRUE(status.can_seek);
  EXPECT_TRUE(status.can_go_next);
  EXPECT_FALSE(status.can_go_previous);
  EXPECT_EQ(status.volume_0_10000, 5000);

  f.h.player->SeekToSeconds(500);  // clamped to the length
  EXPECT_EQ(f.h.player->Status().position_seconds, 180);
  f.Play(1);
  status = f.h.player->Status();
  EXPECT_FALSE(status.can_go_next);
  EXPECT_TRUE(status.can_go_previous);
}

}  // namespace
}  // namespace kivo
