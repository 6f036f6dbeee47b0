#pragma once

// The network tests' fixture: an engine with a short network time-out, a
// two-second MP3 tone to serve, and what the download callback received.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <mutex>
#include <string>

#include "engine/capture.h"
#include "engine/engine.h"
#include "engine/media.h"
#include "support/radio_server.h"

namespace kivo::engine::test {

using Handle = AudioLibrary::Handle;
using loopback::RadioServer;

// What the download callback saw, from its own thread.
struct Downloaded {
  std::mutex mutex;
  std::string bytes;
  int null_blocks = 0;
  bool after_end = false;  // a block after the null block

  AudioLibrary::DownloadProc Proc() {
    return [this](const void* data, size_t length) {
      std::lock_guard lock(mutex);
      if (!data) {
        ++null_blocks;
        return;
      }
      after_end = after_end || null_blocks > 0;
      bytes.append(static_cast<const char*>(data), length);
    };
  }
  int nulls() {
    std::lock_guard lock(mutex);
    return null_blocks;
  }
};

class EngineNet : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    test::TempDir dir;
    std::string path = dir.File("radio.mp3");
    ASSERT_TRUE(test::Tone(path, 440, 0.5, 2.0,
                           "-c:a libmp3lame -b:a 128k -write_xing 0"));
    std::ifstream in(path, std::ios::binary);
    audio_ = new std::string((std::istreambuf_iterator<char>(in)),
                             std::istreambuf_iterator<char>());
  }
  static void TearDownTestSuite() { delete audio_; }

  void SetUp() override {
    ASSERT_TRUE(engine_.Init(1, 44100, 0));
    engine_.SetConfig(AudioLibrary::kConfigNetTimeout, 5000);
    engine_.SetConfigPtr(AudioLibrary::kConfigNetAgent, "Kivo Player v1.31");
  }

  RadioServer::Script Radio() {
    RadioServer::Script script;
    script.audio = *audio_;
    return script;
  }

  Handle PlayWithEndSync(Handle handle, SyncLatch* ended) {
    EXPECT_NE(engine_.ChannelSetSync(
                  handle, AudioLibrary::kSyncEnd, 0,
                  [ended](Handle, Handle, uint32_t) { ended->Fire(0); }),
              0u);
    EXPECT_TRUE(engine_.ChannelPlay(handle, true));
    return handle;
  }

  static inline std::string* audio_ = nullptr;
  Engine engine_;
  Downloaded downloaded_;
};

}  // namespace kivo::engine::test
