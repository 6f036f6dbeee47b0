// The fixture of the tests that listen: SDL's disk driver captures the mixed
// output (float stereo, 44.1 kHz) into a file that the tests read back.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <memory>
#include <string>

#include "engine/capture.h"
#include "engine/engine.h"
#include "engine/media.h"

namespace kivo::engine::test {

using Handle = AudioLibrary::Handle;

constexpr size_t kRate = 44100;
constexpr size_t kTenMs = kRate / 100;

class EnginePlayback : public ::testing::Test {
 protected:
  void SetUp() override {
    capture_path_ = dir_.File("capture.raw");
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", capture_path_.c_str(), 1);
    setenv("SDL_DISKAUDIODELAY", device_delay_ms_, 1);
    engine_ = std::make_unique<Engine>();
    ASSERT_TRUE(engine_->Init(1, kRate, 0));
  }

  Handle Open(const std::string& path) {
    Handle handle = engine_->StreamCreateFile(path, 0, 0, 0);
    EXPECT_NE(handle, 0u) << path;
    return handle;
  }

  Handle OpenWatched(const std::string& path, SyncLatch* ended) {
    Handle handle = Open(path);
    WatchEnd(handle, ended);
    return handle;
  }

  // Sets an end sync that records the capture's length when it fires.
  void WatchEnd(Handle handle, SyncLatch* latch) {
    std::string path = capture_path_;
    ASSERT_NE(engine_->ChannelSetSync(handle, AudioLibrary::kSyncEnd, 0,
                                      [latch, path](Handle, Handle, uint32_t) {
                                        latch->Fire(FileSize(path) /
                                                    (2 * sizeof(float)));
                                      }),
              0u);
  }

  // Plays `a`, then `b` from a's end sync as the player moves on (freeing
  // the one, starting the other, on the sync thread); what was heard.
  Capture PlayedInARow(const std::string& a, const std::string& b) {
    Handle first = Open(a);
    Handle second = Open(b);
    SyncLatch ended;
    WatchEnd(second, &ended);
    Engine* engine = engine_.get();
    engine_->ChannelSetSync(first, AudioLibrary::kSyncEnd, 0,
                            [engine, second](Handle, Handle channel, uint32_t) {
                              engine->StreamFree(channel);
                              engine->ChannelPlay(second, true);
                            });
    EXPECT_TRUE(engine_->ChannelPlay(first, true));
    EXPECT_TRUE(ended.Wait());
    return Heard();
  }

  double PositionSeconds(Handle handle) {
    return engine_->ChannelBytes2Seconds(
        handle, engine_->ChannelGetPosition(handle, 0));
  }

  // Lets the device play on a little (a channel's last buffer goes out after
  // its end sync), closes it (flushing the file) and reads what was heard.
  Capture Heard() {
    size_t written = FileSize(capture_path_);
    WaitUntil([&] {
      return FileSize(capture_path_) >= written + kRate / 5 * 2 * sizeof(float);
    });
    engine_->Free();
    return Capture(ReadFloats(capture_path_));
  }

  // A device buffer every 10 ms: faster than real time, still paced.
  const char* device_delay_ms_ = "10";
  TempDir dir_;
  std::string capture_path_;
  std::unique_ptr<Engine> engine_;
};

// The frames of silence between the last frame near `before` and the first
// near `after`; -1 when either is missing or they overlap.
inline long SilenceBetween(const Capture& heard, float before, float after) {
  auto near = [](float v, float level) { return std::abs(v - level) < 1e-3f; };
  long last_before = -1;
  long first_after = -1;
  for (size_t i = 0; i < heard.frames(); ++i) {
    if (near(heard.at(i), before)) last_before = static_cast<long>(i);
    if (first_after < 0 && near(heard.at(i), after)) {
      first_after = static_cast<long>(i);
    }
  }
  if (last_before < 0 || first_after <= last_before) return -1;
  return first_after - last_before - 1;
}

// The device at the pace of a real one (4,096 frames last 92.9 ms): the
// player starts the next track from the end sync, and a loaded machine may
// hold the sync thread back for as long as a real device would wait, not for
// the tenth of that which the faster pace leaves.
class EngineInRealTime : public EnginePlayback {
 protected:
  EngineInRealTime() { device_delay_ms_ = "92"; }

  // Plays two tracks in a row, the second from the first's end sync, and
  // checks that each is heard whole with no silence between them.
  void ExpectTheSecondFollowsWithoutSilence() {
    std::string a = dir_.File("a.wav");
    std::string b = dir_.File("b.wav");
    // Lengths that end a device buffer part-way.
    ASSERT_TRUE(Render(a, "0.3", 0.37, "-c:a pcm_f32le"));
    ASSERT_TRUE(Render(b, "0.2", 0.3, "-c:a pcm_f32le"));
    Capture heard = PlayedInARow(a, b);
    EXPECT_EQ(heard.CountNear(0.3f, 0.001f), 37 * kRate / 100);
    EXPECT_EQ(heard.CountNear(0.2f, 0.001f), 3 * kRate / 10);
    long silence = SilenceBetween(heard, 0.3f, 0.2f);
    EXPECT_GE(silence, 0);
    EXPECT_LE(silence, 1) << "frames of silence between the tracks";
  }
};

}  // namespace kivo::engine::test
