// Hostile files through the real engine, each opened the way the player opens
// it: the tag and length probes, then the channel that plays. Each must fail
// to open or play to its end, quickly, without a crash or a heap that grows
// by what a lying header claims.
#include "engine/hostile_media.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <cstdlib>
#include <memory>

#include "engine/allocation_watch.h"
#include "engine/capture.h"
#include "engine/engine.h"
#include "engine/media.h"

namespace kivo::engine {
namespace {

using Handle = AudioLibrary::Handle;
using L = AudioLibrary;

// A small file decodes in well under this, even with sanitizers.
constexpr int kPlayLimitMs = 8000;
constexpr auto kFileLimit = std::chrono::seconds(10);
// A lying header names hundreds of MB; decoding a second of audio needs a few.
constexpr size_t kHeapGrowthLimitBytes = size_t{96} << 20;
constexpr size_t kLargestAllocationLimitBytes = size_t{64} << 20;

class HostileMedia : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    // Output goes nowhere, unpaced: files play to their end at once.
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", "/dev/null", 1);
    setenv("SDL_DISKAUDIODELAY", "0", 1);
    dir_ = new test::TempDir();
    files_ = test::WriteHostileMedia(dir_->File(""));
  }
  static void TearDownTestSuite() {
    delete dir_;
    setenv("SDL_AUDIODRIVER", "dummy", 1);
  }
  void SetUp() override {
    ASSERT_FALSE(files_.empty()) << "ffmpeg could not make the media";
    ASSERT_TRUE(engine_.Init(1, 44100, 0));
  }

  // The tag window's and the playing title's probe.
  void ReadTags(const std::string& path) {
    Handle probe = engine_.StreamCreateFile(path, 0, 0, L::kStreamDecode);
    for (const char* code :
         {"%TITL", "%ARTI", "%ALBM", "%TRCK", "%GNRE", "%YEAR", "%CMNT"}) {
      std::string value = engine_.TagsRead(probe, code);
      EXPECT_LE(value.size(), size_t{2} << 20) << code;
    }
    if (probe) {
      EXPECT_TRUE(engine_.StreamFree(probe));
    }
  }

  // The player's order: a file stream, else a module.
  std::pair<Handle, bool> OpenForPlay(const std::string& path) {
    if (Handle stream = engine_.StreamCreateFile(path, 0, 0, 0)) {
      return {stream, false};
    }
    return {engine_.MusicLoad(path, 0, 0, L::kMusicPrescan | L::kMusicRamp, 0),
            true};
  }

  // Plays to the end while the level meter polls; false when it never ended.
  bool PlaysToItsEnd(Handle channel) {
    test::SyncLatch ended;
    Handle sync = engine_.ChannelSetSync(
        channel, L::kSyncEnd, 0,
        [&ended](Handle, Handle, uint32_t) { ended.Fire(1); });
    EXPECT_NE(sync, 0u);
    bool done =
        engine_.ChannelPlay(channel, true) &&
        test::WaitUntil(
            [&] {
              EXPECT_NE(engine_.ChannelGetLevel(channel), L::kLevelError);
              engine_.ChannelGetPosition(channel, 0);
              return ended.count() > 0;
            },
            kPlayLimitMs);
    // The channel may end again (played over) once `ended` is gone.
    engine_.ChannelRemoveSync(channel, sync);
    return done && engine_.ChannelIsActive(channel) == L::kActiveStopped;
  }

  static test::TempDir* dir_;
  static std::vector<test::HostileFile> files_;
  Engine engine_;
};

test::TempDir* HostileMedia::dir_ = nullptr;
std::vector<test::HostileFile> HostileMedia::files_;

TEST_F(HostileMedia, EachFailsToOpenOrPlaysToItsEndQuicklyInBoundedMemory) {
  for (const test::HostileFile& file : files_) {
    SCOPED_TRACE(file.what);
    auto started = std::chrono::steady_clock::now();
    test::AllocationWatch watch;
    ReadTags(file.path);
    auto [channel, module] = OpenForPlay(file.path);
    if (channel) {
      uint64_t length = engine_.ChannelGetLength(channel, 0);
      if (length != L::kLengthError) {
        EXPECT_GE(engine_.ChannelBytes2Seconds(channel, length), 0.0);
        // The seek bar dragged to the middle before it plays: done or refused.
        engine_.ChannelSetPosition(channel, length / 8 * 4, 0);
      }
      EXPECT_TRUE(PlaysToItsEnd(channel));
      // The Play key after the end starts it over from the beginning.
      engine_.ChannelPlay(channel, false);
      engine_.ChannelStop(channel);
      EXPECT_TRUE(module ? engine_.MusicFree(channel)
                         : engine_.StreamFree(channel));
    }
    EXPECT_LT(std::chrono::steady_clock::now() - started, kFileLimit);
    if (test::AllocationWatch::available()) {
      EXPECT_LT(watch.peak_growth_bytes(), kHeapGrowthLimitBytes);
      EXPECT_LE(watch.largest_bytes(), kLargestAllocationLimitBytes);
    }
  }
}

TEST_F(HostileMedia, GoodFilesAmongThemStillOpenWithTheirTags) {
  // The damaged files that keep their headers still give what they hold.
  for (const char* name : {"flipped.mp3", "cut.flac", "cut.mp3"}) {
    SCOPED_TRACE(name);
    Handle channel = engine_.StreamCreateFile(dir_->File(name), 0, 0, 0);
    ASSERT_NE(channel, 0u);
    EXPECT_TRUE(PlaysToItsEnd(channel));
    EXPECT_TRUE(engine_.StreamFree(channel));
  }
  Handle tagged =
      engine_.StreamCreateFile(dir_->File("tags.mp3"), 0, 0, L::kStreamDecode);
  ASSERT_NE(tagged, 0u);
  // The title's first value before its NUL; the 1 MB comment whole.
  EXPECT_EQ(engine_.TagsRead(tagged, "%TITL").substr(0, 2), "Ti");
  EXPECT_EQ(engine_.TagsRead(tagged, "%CMNT").size(), size_t{1} << 20);
  EXPECT_TRUE(engine_.StreamFree(tagged));
}

TEST_F(HostileMedia, AHazardousNameIsOnlyAName) {
  std::string path = test::HazardousName(dir_->File(""));
  Handle channel = engine_.StreamCreateFile(path, 0, 0, 0);
  ASSERT_NE(channel, 0u);
  EXPECT_TRUE(PlaysToItsEnd(channel));
  EXPECT_TRUE(engine_.StreamFree(channel));
  struct stat info {};
  EXPECT_NE(stat(dir_->File("pwned").c_str(), &info), 0);
  EXPECT_NE(stat("pwned", &info), 0);
}

}  // namespace
}  // namespace kivo::engine
