#include <gtest/gtest.h>

#include "core/playback/seekbar.h"
#include "core/playback/time_display.h"
#include "core/playback/volume_meter.h"
#include "playback_fixture.h"

namespace kivo {
namespace {

using testing::FakeAudioLibrary;
using testing::PlaybackFixture;

TEST(TimeCaptionTest, HoursAppearOnlyPastOneHour) {
  const std::string prefix = "Kivo Player  -  ";
  EXPECT_EQ(TimeCaption(3599, 3599, true), prefix + "59:59 / 59:59");
  EXPECT_EQ(TimeCaption(300, 3665, true), prefix + "00:05:00 / 01:01:05");
  EXPECT_EQ(TimeCaption(3601, 3600, true), prefix + "01:00:01 / 01:00:00");
  EXPECT_EQ(TimeCaption(0, 3600, false), prefix + "60:00 / 60:00");
  EXPECT_EQ(TimeCaption(5, 3665, false), prefix + "01:01:00 / 01:01:05");
  // A stream of unknown length.
  EXPECT_EQ(TimeCaption(42, -1, false), prefix + "00:42 / --:--");
  EXPECT_EQ(TimeCaption(3700, -1, true), prefix + "01:01:40 / --:--");
}

struct TimeFixture : PlaybackFixture {
  void PlayTrack(double length_seconds) {
    FakeAudioLibrary::Media media;
    media.length_seconds = length_seconds;
    AddEntry("t.mp3", media);
    Play(0);
  }
  void At(int seconds) {
    h.audio.ChannelSetPosition(
        Current(),
        static_cast<uint64_t>(seconds * FakeAudioLibrary::kBytesPerSecond), 0);
  }
  int ChannelSeconds() {
    return static_cast<int>(h.audio.ChannelCopy(Current()).position_bytes /
                            FakeAudioLibrary::kBytesPerSecond);
  }
};

TEST(TimeDisplayTest, TheTimerFollowsThePlayingChannelOnly) {
  TimeFixture f;
  EXPECT_EQ(f.h.loop.interval_ms("Time"), 200);
  f.Click("Down");
  f.PlayTrack(3600);
  f.At(61);
  ASSERT_TRUE(f.h.loop.Tick("Time"));
  EXPECT_EQ(f.h.window.Caption(), "Kivo Player  -  58:59 / 60:00");
  EXPECT_EQ(f.h.window.seekbar_position, 61);

  f.Click("UP");
  f.Click("Play1");  // paused: the caption stays
  f.At(100);
  f.h.loop.Tick("Time");
  EXPECT_EQ(f.h.window.Caption(), "Kivo Player  -  58:59 / 60:00");
  f.Click("Play1");
  f.h.loop.Tick("Time");
  EXPECT_EQ(f.h.window.Caption(), "Kivo Player  -  01:40 / 60:00");
  f.Click("Stop");
  EXPECT_FALSE(f.h.loop.Tick("Time"));
  EXPECT_EQ(f.h.window.Caption(), "Kivo Player");
}

TEST(TimeDisplayTest, TheTimerSleepsUntilTheCaptionHasANewSecondToShow) {
  TimeFixture f;
  f.PlayTrack(600);
  auto at_seconds = [&f](double seconds) {
    f.h.audio.ChannelSetPosition(
        f.Current(),
        static_cast<uint64_t>(seconds * FakeAudioLibrary::kBytesPerSecond), 0);
  };
  // Shown whole seconds change only at the next one: 61.3 s waits 0.7 s and
  // a little (the position moves a device buffer at a time), not a fifth of
  // a second at a time.
  at_seconds(61.3);
  ASSERT_TRUE(f.h.loop.Tick("Time"));
  EXPECT_GE(f.h.loop.next_tick_ms("Time"), 700);
  EXPECT_LE(f.h.loop.next_tick_ms("Time"), 820);
  at_seconds(61.99);
  f.h.loop.Tick("Time");
  EXPECT_GE(f.h.loop.next_tick_ms("Time"), 10);
  EXPECT_LE(f.h.loop.next_tick_ms("Time"), 120);
  // A seek shows its second at once, not at the old second's end.
  f.h.player->SeekToSeconds(300);
  EXPECT_EQ(f.h.loop.next_tick_ms("Time"), 0);
  // Paused, or ended with nothing after it: the caption keeps still, so
  // the timer rests (a station back from a stall shows within a second),
  // and a resume shows its second at once.
  f.Click("Play1");
  f.h.loop.Tick("Time");
  EXPECT_GE(f.h.loop.next_tick_ms("Time"), 1000);
  f.Click("Play1");
  EXPECT_EQ(f.h.loop.next_tick_ms("Time"), 0);
  f.h.audio.SetState(f.Current(), AudioLibrary::kActiveStopped);
  f.h.loop.Tick("Time");
  EXPECT_GE(f.h.loop.next_tick_ms("Time"), 1000);
  f.Play(0);
  EXPECT_EQ(f.h.loop.next_tick_ms("Time"), 0);
}

TEST(SeekbarTest, ClicksRoundHalvesToEvenAndSeek) {
  TimeFixture f;
  f.PlayTrack(10);
  ASSERT_TRUE(f.h.window.seekbar_enabled);
  ASSERT_EQ(f.h.window.seekbar_max, 10);
  for (auto [x, seconds] :
       {std::pair{5, 0}, {15, 2}, {25, 2}, {35, 4}, {104, 10}, {500, 10}}) {
    f.h.player->SeekbarMouseDown(MouseButton::kLeft, x, 104, false);
    EXPECT_EQ(f.ChannelSeconds(), seconds) << x;
    EXPECT_EQ(f.h.window.seekbar_position, seconds) << x;
  }
  f.h.player->SeekbarMouseDown(MouseButton::kRight, 5, 104, false);
  EXPECT_EQ(f.ChannelSeconds(), 10);
}

TEST(SeekbarTest, AStreamLeavesTheBarDisabledAndClicksDoNothing) {
  PlaybackFixture f;
  f.AddStream("http://radio/live", AudioLibrary::kCTypeStreamMp3);
  f.Play(0);
  EXPECT_FALSE(f.h.window.seekbar_enabled);
  f.h.player->SeekbarMouseDown(MouseButton::kLeft, 50, 104, false);
  f.h.player->SeekbarMouseDown(MouseButton::kLeft, 50, 104, true);
  EXPECT_EQ(f.h.audio.ChannelCopy(f.Current()).position_bytes, 0u);
  EXPECT_EQ(f.state().playback.volume_level, 5000);
  f.h.audio.ChannelSetPosition(f.Current(), 42 * 176400, 0);
  f.h.loop.Tick("Time");
  EXPECT_EQ(f.h.window.Caption(), "Kivo Player  -  00:42 / --:--");
}

TEST(SeekbarTest, AShiftClickSetsTheVolumeOnTheBarsScale) {
  TimeFixture f;
  f.PlayTrack(180);
  // The volume display turns the bar into a 0..10000 scale.
  Seekbar(f.h.window, f.state().playback.seekbar).SetRange(10000);
  f.h.player->SeekbarMouseDown(MouseButton::kLeft, 120, 104, true);
  EXPECT_EQ(f.state().playback.volume_level, 10000);
  EXPECT_EQ(f.h.window.Caption(), "Kivo Player  -  Volume: 100%");
  EXPECT_EQ(f.h.Setting("settings", "volume"), "10000");
  auto log = f.h.audio.config_log();
  ASSERT_GE(log.size(), 2u);
  EXPECT_EQ(log[log.size() - 2], (std::pair<int, std::string>{6, "10000"}));
  EXPECT_EQ(log.back(), (std::pair<int, std::string>{5, "10000"}));

  // On the track's own scale the same kind of click gives a small value.
  ResetSeekbar(f.h.player->context(), f.state().playback);
  f.h.player->SeekbarMouseDown(MouseButton::kLeft, 50, 104, true);
  EXPECT_EQ(f.state().playback.volume_level, 90);
  EXPECT_EQ(f.h.window.Caption(), "Kivo Player  -  Volume: 0.9%");
}

TEST(VolumeTest, StepsStayInRangeAndAlwaysRewriteTheSetting) {
  PlaybackFixture f;
  PlaybackState& state = f.state().playback;
  for (auto [start, item, expected] : {std::tuple{10000, "VolUp1", 10000},
                                       {9800, "VolUp1", 9800},
                                       {0, "VolDown1", 0},
                                       {400, "VolDown1", 400},
                                       {5000, "VolUp1", 5500},
                                       {5000, "VolDown1", 4500}}) {
    // The hexadecimal form comes back decimal only if the key is rewritten.
    f.h.WriteSettings("[settings]\r\nvolume=0x1\r\n");
    state.volume_level = start;
    f.Click(item);
    EXPECT_EQ(state.volume_level, expected) << item << start;
    EXPECT_EQ(f.h.Setting("settings", "volume"), std::to_string(expected));
    EXPECT_EQ(f.h.audio.config_log().back(),
              (std::pair<int, std::string>{5, std::to_string(expected)}));
  }
  EXPECT_EQ(VolumePercentText(5000), "50");
  EXPECT_EQ(VolumePercentText(1234), "12.34");
  EXPECT_EQ(VolumePercentText(0), "0");
}

TEST(VolumeTest, TheStoredVolumeIsRestoredAndClamped) {
  PlaybackFixture f;
  EXPECT_EQ(f.state().playback.volume_level, 5000);
  testing::PlayerHarness h;
  h.WriteSettings("[settings]\r\nDonationMsg=0\r\nvolume=20000\r\n");
  h.Start();
  EXPECT_EQ(h.player->state().playback.volume_level, 10000);
  h.player->SetVolumeLevel(-5);
  EXPECT_EQ(h.player->state().playback.volume_level, 0);
  EXPECT_EQ(h.Setting("settings", "volume"), "0");
}

TEST(LevelMeterTest, BarsHoldAPeakAndFallLinearlyToZero) {
  PlaybackFixture f;
  EXPECT_EQ(f.h.loop.interval_ms("VisTime"), 100);
  f.h.loop.SetTimerEnabled("VisTime", true);
  f.AddEntry("a.mp3");
  f.Play(0);
  f.h.audio.SetLevel(30000u | (3000u << 16));
  f.h.loop.Tick("VisTime");
  EXPECT_EQ(f.h.window.level_left, 30000);
  EXPECT_EQ(f.h.window.level_right, 3000);
  f.h.audio.SetLevel(1000u | (32768u << 16));
  f.h.loop.Tick("VisTime");
  EXPECT_EQ(f.h.window.level_left, 28500);
  EXPECT_EQ(f.h.window.level_right, 32768);
  f.h.audio.SetLevel(0);
  f.h.loop.Tick("VisTime");
  EXPECT_EQ(f.h.window.level_left, 27000);
  EXPECT_EQ(f.h.window.level_right, 31268);

  // No channel: the library reports an error and both bars fall to 0.
  f.h.audio.Free();
  for (int tick = 0; tick < 30; ++tick) f.h.loop.Tick("VisTime");
  EXPECT_EQ(f.h.window.level_left, 0);
  EXPECT_EQ(f.h.window.level_right, 0);
  EXPECT_EQ(f.state().playback.meter_left, 0);
}

}  // namespace
}  // namespace kivo
