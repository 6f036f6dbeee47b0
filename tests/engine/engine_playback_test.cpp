// What is heard (see playback_fixture.h).
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <functional>
#include <memory>
#include <thread>

#include "engine/module_writer.h"
#include "engine/playback_fixture.h"

namespace kivo::engine {
namespace {

using Handle = AudioLibrary::Handle;
using test::Capture;
using test::EngineInRealTime;
using test::EnginePlayback;
using test::kRate;
using test::kTenMs;
using test::SyncLatch;
using test::WaitUntil;

TEST_F(EnginePlayback, ToneIsHeardAtItsPitchForItsLengthThenEndSyncs) {
  std::string path = dir_.File("tone.mp3");
  ASSERT_TRUE(test::Tone(path, 1000, 0.5, 1.0, "-c:a libmp3lame -b:a 192k"));
  SyncLatch ended;
  Handle handle = OpenWatched(path, &ended);
  ASSERT_TRUE(engine_->ChannelPlay(handle, true));
  uint32_t level = 0;
  ASSERT_TRUE(WaitUntil([&] {
    level = engine_->ChannelGetLevel(handle);
    return engine_->ChannelIsActive(handle) == AudioLibrary::kActivePlaying &&
           (level & 0xffff) > 8000;
  }));
  EXPECT_NEAR(level & 0xffff, 16384, 1000);
  EXPECT_NEAR(level >> 16, 16384, 1000);
  ASSERT_TRUE(ended.Wait());
  EXPECT_EQ(engine_->ChannelIsActive(handle), AudioLibrary::kActiveStopped);
  EXPECT_EQ(engine_->ChannelGetLevel(handle), 0u);
  size_t heard_at_sync = ended.value();

  Capture heard = Heard();
  auto [first, last] = heard.Span(0.05f);
  EXPECT_NEAR(static_cast<double>(last - first), kRate, kTenMs);
  double seconds = static_cast<double>(last - first) / kRate;
  EXPECT_NEAR(heard.Crossings(first, last) / seconds, 1000, 5);
  EXPECT_NEAR(heard.Peak(first, last), 0.5, 0.03);
  // The sync comes while the last device buffer is made ready (what follows
  // then starts right after the last sample), never sooner. Later it is only
  // bounded: the test device runs nine times faster than real time, so a
  // loaded machine that holds the sync thread a tenth of a second back moves
  // it a second of audio on (the gap tests check what is heard).
  EXPECT_GE(heard_at_sync + 20 * kTenMs, last);
  EXPECT_LE(heard_at_sync, last + 100 * kTenMs);
  EXPECT_EQ(ended.count(), 1);
}

TEST_F(EnginePlayback, StreamVolumeScalesWhatPlaysAtOnce) {
  std::string path = dir_.File("tone.wav");
  ASSERT_TRUE(test::Tone(path, 500, 0.5, 1.5, "-c:a pcm_s16le"));
  SyncLatch ended;
  Handle handle = OpenWatched(path, &ended);
  // The module volume leaves streams alone.
  ASSERT_TRUE(engine_->SetConfig(AudioLibrary::kConfigGlobalMusicVolume, 0));
  ASSERT_TRUE(engine_->ChannelPlay(handle, true));
  ASSERT_TRUE(WaitUntil([&] { return PositionSeconds(handle) >= 0.5; }));
  ASSERT_TRUE(
      engine_->SetConfig(AudioLibrary::kConfigGlobalStreamVolume, 5000));
  ASSERT_TRUE(ended.Wait());
  Capture heard = Heard();
  auto [first, last] = heard.Span(0.05f);
  EXPECT_NEAR(heard.Peak(first, first + 20 * kTenMs), 0.5, 0.01);
  EXPECT_NEAR(heard.Peak(last - 40 * kTenMs, last), 0.25, 0.01);
}

TEST_F(EnginePlayback, TheLevelIsTheChannelsOwnWhateverTheVolume) {
  std::string path = dir_.File("tone.wav");
  ASSERT_TRUE(test::Tone(path, 500, 0.5, 3.0, "-c:a pcm_s16le"));
  Handle handle = Open(path);
  ASSERT_TRUE(engine_->ChannelPlay(handle, true));
  for (uint32_t volume : {0u, 5000u, 10000u}) {
    ASSERT_TRUE(
        engine_->SetConfig(AudioLibrary::kConfigGlobalStreamVolume, volume));
    double since = PositionSeconds(handle);
    ASSERT_TRUE(
        WaitUntil([&] { return PositionSeconds(handle) > since + 0.2; }));
    uint32_t level = engine_->ChannelGetLevel(handle);
    EXPECT_NEAR(level & 0xffff, 16384, 1000) << "volume " << volume;
    EXPECT_NEAR(level >> 16, 16384, 1000) << "volume " << volume;
  }
}

// A rising ramp: the value heard tells the position it came from.
float Ramp(double seconds) { return static_cast<float>(0.05 + 0.4 * seconds); }

TEST_F(EnginePlayback, SeekLandsWithinTenMilliseconds) {
  std::string path = dir_.File("ramp.flac");
  ASSERT_TRUE(test::Render(path, "0.05+0.4*t", 2.0, "-c:a flac"));
  SyncLatch ended;
  Handle handle = OpenWatched(path, &ended);
  uint64_t one_second = engine_->ChannelSeconds2Bytes(handle, 1.0);
  ASSERT_TRUE(engine_->ChannelSetPosition(handle, one_second, 0));
  EXPECT_EQ(engine_->ChannelGetPosition(handle, 0), one_second);
  ASSERT_TRUE(engine_->ChannelPlay(handle, false));
  ASSERT_TRUE(WaitUntil([&] { return PositionSeconds(handle) >= 1.3; }));
  ASSERT_TRUE(engine_->ChannelSetPosition(
      handle, engine_->ChannelSeconds2Bytes(handle, 0.5), 0));
  ASSERT_TRUE(ended.Wait());

  Capture heard = Heard();
  auto [first, last] = heard.Span(0.01f);
  EXPECT_NEAR(heard.at(first), Ramp(1.0), 0.4 * 0.01);
  size_t jump = first + 1;
  while (jump < last && heard.at(jump) >= heard.at(jump - 1) - 0.01f) ++jump;
  // The first frame after the jump is already the new place: no buffer of
  // silence while the ring refills.
  ASSERT_LT(jump, last);
  EXPECT_NEAR(heard.at(jump), Ramp(0.5), 0.4 * 0.01);
  EXPECT_NEAR(heard.at(last - 1), Ramp(2.0), 0.4 * 0.01);
}

TEST_F(EnginePlayback, PauseAndResumeLoseNothing) {
  std::string path = dir_.File("ramp.wav");
  ASSERT_TRUE(test::Render(path, "0.05+0.4*t", 1.0, "-c:a pcm_s16le"));
  SyncLatch ended;
  Handle handle = OpenWatched(path, &ended);
  ASSERT_TRUE(engine_->ChannelPlay(handle, true));
  ASSERT_TRUE(WaitUntil([&] { return PositionSeconds(handle) >= 0.3; }));
  ASSERT_TRUE(engine_->ChannelPause(handle));
  EXPECT_EQ(engine_->ChannelIsActive(handle), AudioLibrary::kActivePaused);
  uint64_t paused_at = engine_->ChannelGetPosition(handle, 0);
  std::this_thread::sleep_for(std::chrono::milliseconds(150));
  EXPECT_EQ(engine_->ChannelGetPosition(handle, 0), paused_at);
  EXPECT_EQ(engine_->ChannelGetLevel(handle), 0u);
  ASSERT_TRUE(engine_->ChannelPlay(handle, false));
  ASSERT_TRUE(ended.Wait());

  Capture heard = Heard();
  auto [first, last] = heard.Span(0.01f);
  size_t loud = 0;
  size_t quiet = 0;
  float previous = 0;
  bool rising = true;
  for (size_t i = first; i < last; ++i) {
    if (heard.at(i) <= 0.01f) {
      ++quiet;
      continue;
    }
    rising = rising && heard.at(i) >= previous - 1e-4f;
    previous = heard.at(i);
    ++loud;
  }
  EXPECT_EQ(loud, kRate);  // every sample, once
  EXPECT_TRUE(rising);
  EXPECT_GT(quiet, 5 * kTenMs);  // the pause itself
}

// Frames from `from` on that `counts` accepts.
size_t CountFrom(const Capture& heard, size_t from,
                 const std::function<bool(float)>& counts) {
  size_t count = 0;
  for (size_t i = from; i < heard.frames(); ++i) count += counts(heard.at(i));
  return count;
}

TEST_F(EnginePlayback, VolumeAndPauseAreHeardWithinATenthOfASecond) {
  std::string path = dir_.File("steady.wav");
  ASSERT_TRUE(test::Render(path, "0.4", 3.0, "-c:a pcm_f32le"));
  Handle handle = Open(path);
  ASSERT_TRUE(engine_->ChannelPlay(handle, true));
  auto heard_so_far = [this] {
    return test::FileSize(capture_path_) / (2 * sizeof(float));
  };
  ASSERT_TRUE(WaitUntil([&] { return PositionSeconds(handle) >= 0.5; }));
  size_t volume_at = heard_so_far();
  ASSERT_TRUE(
      engine_->SetConfig(AudioLibrary::kConfigGlobalStreamVolume, 5000));
  ASSERT_TRUE(WaitUntil([&] { return PositionSeconds(handle) >= 1.0; }));
  size_t pause_at = heard_so_far();
  ASSERT_TRUE(engine_->ChannelPause(handle));
  ASSERT_TRUE(WaitUntil([&] { return heard_so_far() > pause_at + kRate; }));

  Capture heard = Heard();
  size_t full_volume_after = CountFrom(
      heard, volume_at, [](float v) { return std::abs(v - 0.4f) < 0.001f; });
  EXPECT_LE(full_volume_after, 10 * kTenMs);
  size_t sound_after_pause =
      CountFrom(heard, pause_at, [](float v) { return v > 0.01f; });
  EXPECT_LE(sound_after_pause, 10 * kTenMs);
}

TEST_F(EnginePlayback, ChannelsInARowDoNotOverlapAndTwoAtOnceMix) {
  std::string a = dir_.File("a.wav");
  std::string b = dir_.File("b.wav");
  ASSERT_TRUE(test::Render(a, "0.3", 0.4, "-c:a pcm_f32le"));
  ASSERT_TRUE(test::Render(b, "0.2", 0.4, "-c:a pcm_f32le"));
  Capture in_a_row = PlayedInARow(a, b);
  EXPECT_EQ(in_a_row.CountNear(0.3f, 0.001f), 4 * kRate / 10);
  EXPECT_EQ(in_a_row.CountNear(0.2f, 0.001f), 4 * kRate / 10);
  EXPECT_EQ(in_a_row.CountNear(0.5f, 0.001f), 0u);

  ASSERT_TRUE(engine_->Init(1, kRate, 0));
  Handle one = Open(a);
  Handle two = Open(b);
  SyncLatch both;
  WatchEnd(one, &both);
  WatchEnd(two, &both);
  ASSERT_TRUE(engine_->ChannelPlay(one, true));
  ASSERT_TRUE(engine_->ChannelPlay(two, true));
  ASSERT_TRUE(both.Wait(2));
  Capture together = Heard();
  // Only the two mixed make 0.5. The second may start a callback or two late
  // on a loaded machine, so a tenth of a second of overlap proves the mix.
  EXPECT_GT(together.CountNear(0.5f, 0.001f), kRate / 10);
}

TEST_F(EngineInRealTime, TheNextTrackStartedAtTheEndFollowsWithoutSilence) {
  ExpectTheSecondFollowsWithoutSilence();
}

TEST_F(EnginePlayback, ModulesPlayAtTheMusicVolume) {
  std::string path = dir_.File("song.xm");
  ASSERT_TRUE(test::WriteModule(path, "xm", "Song"));
  Handle handle = engine_->MusicLoad(path, 0, 0, 0x20200, 0);
  ASSERT_NE(handle, 0u);
  SyncLatch ended;
  WatchEnd(handle, &ended);
  ASSERT_TRUE(engine_->SetConfig(AudioLibrary::kConfigGlobalStreamVolume, 0));
  ASSERT_TRUE(engine_->ChannelPlay(handle, true));
  ASSERT_TRUE(WaitUntil([&] { return PositionSeconds(handle) >= 0.4; }));
  ASSERT_TRUE(engine_->SetConfig(AudioLibrary::kConfigGlobalMusicVolume, 0));
  ASSERT_TRUE(ended.Wait());
  Capture heard = Heard();
  auto [first, last] = heard.Span(0.001f);
  EXPECT_GT(heard.Peak(first, first + 20 * kTenMs), 0.05f);
  // Silenced at about 0.4 s of a 0.96 s song.
  EXPECT_LT(last - first, 70 * kTenMs);
}

}  // namespace
}  // namespace kivo::engine
