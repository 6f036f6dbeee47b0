// The output device runs only while something plays: it opens with the first
// play, so that the first buffer already holds the music, and closes after a
// while with nothing to play, so that an idle player does not wake up.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <thread>

#include "engine/playback_fixture.h"
#include "engine/process_counts.h"

namespace kivo::engine {
namespace {

using Handle = AudioLibrary::Handle;
using test::Capture;
using test::EngineInRealTime;
using test::EnginePlayback;
using test::kRate;
using test::SyncLatch;
using test::WaitUntil;

// The engine's device buffer at 44.1 kHz.
constexpr size_t kDeviceBufferFrames = 4096;

// SDL names its playback threads so.
int AudioThreads() { return test::ThreadsNamed("SDLAudioP"); }

TEST_F(EngineInRealTime, TheFirstPlayIsHeardFromTheFirstBuffer) {
  std::string path = dir_.File("steady.wav");
  ASSERT_TRUE(test::Render(path, "0.4", 0.5, "-c:a pcm_f32le"));
  Handle handle = Open(path);
  // The player shows its window between the engine's start and the play: a
  // device started with the engine would write buffers of silence meanwhile.
  std::this_thread::sleep_for(std::chrono::milliseconds(250));
  ASSERT_TRUE(engine_->ChannelPlay(handle, true));
  ASSERT_TRUE(WaitUntil([&] { return PositionSeconds(handle) >= 0.2; }));
  Capture heard = Heard();
  size_t first = heard.Span(0.05f).first;
  ASSERT_LT(first, heard.frames());
  EXPECT_NEAR(heard.at(first), 0.4f, 0.001f);
  // SDL starts its thread with the device paused; when that thread is
  // scheduled before the play reaches it, it writes one buffer of silence.
  EXPECT_LE(first, kDeviceBufferFrames) << "frames of silence before the music";
}

TEST_F(EngineInRealTime, NoDeviceRunsWhileNothingPlaysAndPlayingAgainIsHeard) {
  ASSERT_TRUE(engine_->SetConfig(Engine::kConfigDeviceIdleMs, 100));
  // SDL's thread names itself once it runs: a moment for one to do so.
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  EXPECT_EQ(AudioThreads(), 0) << "before anything played";
  std::string tone = dir_.File("tone.wav");
  ASSERT_TRUE(test::Tone(tone, 1000, 0.5, 0.4, "-c:a pcm_s16le"));
  SyncLatch ended;
  Handle handle = OpenWatched(tone, &ended);
  ASSERT_TRUE(engine_->ChannelPlay(handle, true));
  EXPECT_TRUE(WaitUntil([] { return AudioThreads() == 1; }));
  ASSERT_TRUE(ended.Wait());
  ASSERT_TRUE(WaitUntil([] { return AudioThreads() == 0; }, 5000))
      << "still running after the idle time";

  // The same channel again: position, heard level and end as the first time.
  ASSERT_TRUE(engine_->ChannelPlay(handle, true));
  uint32_t level = 0;
  ASSERT_TRUE(WaitUntil([&] {
    level = engine_->ChannelGetLevel(handle);
    return (level & 0xffff) > 8000;
  }));
  EXPECT_NEAR(level & 0xffff, 16384, 1000);
  EXPECT_GT(PositionSeconds(handle), 0.0);
  ASSERT_TRUE(ended.Wait(2));
  ASSERT_TRUE(WaitUntil([] { return AudioThreads() == 0; }, 5000));

  // And a track that follows another from its end sync, without a gap;
  // Heard() listens on for a while past the end.
  ASSERT_TRUE(engine_->SetConfig(Engine::kConfigDeviceIdleMs, 10000));
  ExpectTheSecondFollowsWithoutSilence();
}

// A track left paused (for a meeting, for the night) lets the device go, as
// a stopped one does: no audio thread wakes, and on a system without a sound
// server other programs may play. Play goes on where it paused.
TEST_F(EnginePlayback, APausedTrackLetsTheDeviceGoAndGoesOnWhereItPaused) {
  ASSERT_TRUE(engine_->SetConfig(Engine::kConfigDeviceIdleMs, 50));
  std::string path = dir_.File("steady.wav");
  ASSERT_TRUE(test::Render(path, "0.4", 2.0, "-c:a pcm_f32le"));
  Handle handle = Open(path);
  ASSERT_TRUE(engine_->ChannelPlay(handle, true));
  ASSERT_TRUE(WaitUntil([&] { return PositionSeconds(handle) >= 0.2; }));
  ASSERT_TRUE(engine_->ChannelPause(handle));
  const double paused_at = PositionSeconds(handle);
  EXPECT_TRUE(WaitUntil([] { return AudioThreads() == 0; }, 5000))
      << "still running while paused past the idle time";
  EXPECT_EQ(engine_->ChannelIsActive(handle), AudioLibrary::kActivePaused);
  EXPECT_DOUBLE_EQ(PositionSeconds(handle), paused_at);
  ASSERT_TRUE(engine_->ChannelPlay(handle, false));
  EXPECT_TRUE(WaitUntil([] { return AudioThreads() == 1; }));
  EXPECT_TRUE(WaitUntil([&] {
    return (engine_->ChannelGetLevel(handle) & 0xffff) > 8000;
  })) << "what plays after the pause is heard";
  ASSERT_TRUE(WaitUntil([&] { return PositionSeconds(handle) >= 0.4; }));
  ASSERT_TRUE(engine_->ChannelStop(handle));
  EXPECT_TRUE(WaitUntil([] { return AudioThreads() == 0; }, 5000))
      << "still running after a stop and the idle time";
}

TEST_F(EnginePlayback, PlaysWhileTheDeviceClosesAreAllHeard) {
  // Closing at once: each play below finds the device open, closing or shut.
  ASSERT_TRUE(engine_->SetConfig(Engine::kConfigDeviceIdleMs, 0));
  std::string path = dir_.File("short.wav");
  ASSERT_TRUE(test::Render(path, "0.4", 0.05, "-c:a pcm_f32le"));
  SyncLatch ended;
  Handle handle = OpenWatched(path, &ended);
  constexpr int kPlays = 20;
  for (int n = 1; n <= kPlays; ++n) {
    ASSERT_TRUE(engine_->ChannelPlay(handle, true)) << "play " << n;
    ASSERT_TRUE(ended.Wait(n)) << "play " << n << " was not heard to its end";
    // Now and then after the device has had time to begin its close.
    if (n % 3 == 0) std::this_thread::sleep_for(std::chrono::milliseconds(15));
  }
  EXPECT_TRUE(WaitUntil([] { return AudioThreads() == 0; }, 5000));
}

TEST_F(EnginePlayback, ADeviceThatWillNotOpenFailsThePlayUntilItWill) {
  std::string path = dir_.File("steady.wav");
  ASSERT_TRUE(test::Render(path, "0.4", 0.3, "-c:a pcm_f32le"));
  Handle handle = Open(path);
  std::string unwritable = dir_.File("missing/capture.raw");
  setenv("SDL_DISKAUDIOFILE", unwritable.c_str(), 1);
  EXPECT_FALSE(engine_->ChannelPlay(handle, true));
  EXPECT_EQ(engine_->ChannelIsActive(handle), AudioLibrary::kActiveStopped);
  EXPECT_EQ(AudioThreads(), 0);

  setenv("SDL_DISKAUDIOFILE", capture_path_.c_str(), 1);
  SyncLatch ended;
  WatchEnd(handle, &ended);
  ASSERT_TRUE(engine_->ChannelPlay(handle, true));
  ASSERT_TRUE(ended.Wait());
  EXPECT_EQ(Heard().CountNear(0.4f, 0.001f), 3 * kRate / 10);
}

}  // namespace
}  // namespace kivo::engine
