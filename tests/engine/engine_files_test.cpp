// Opening files: formats, channel types, lengths, tags, probes and handles
// that are no longer valid. Output goes to SDL's dummy driver.
#include <dirent.h>
#include <gtest/gtest.h>

#include <fstream>

#include "engine/engine.h"
#include "engine/media.h"

namespace kivo::engine {
namespace {

using test::TempDir;

struct Format {
  const char* ext;
  const char* codec;
  uint32_t ctype;
  bool tagged;
};

const Format kFormats[] = {
    {"mp3", "-c:a libmp3lame", 0x10005, true},
    {"mp2", "-c:a mp2", 0x10004, false},
    {"ogg", "-c:a libvorbis", 0x10002, true},
    {"flac", "-c:a flac", 0x10900, true},
    {"wav", "-c:a pcm_s16le", 0x40001, true},
    {"m4a", "-c:a aac", 0x10b01, true},
    {"aac", "-c:a aac -write_id3v2 1", 0x10b00, true},
    {"ac3", "-c:a ac3", 0x11000, false},
    {"aiff", "-c:a pcm_s16be -write_id3v2 1", 0x10006, true},
    {"wv", "-c:a wavpack", 0x10500, true},
    {"wma", "-c:a wmav2", 0x10300, true},
    {"tta", "-c:a tta", 0x10f00, true},
    {"spx", "-c:a libspeex -ar 32000", 0x10c00, true},
};

int ThreadCount() {
  int count = 0;
  if (DIR* dir = opendir("/proc/self/task")) {
    while (dirent* entry = readdir(dir)) count += entry->d_name[0] != '.';
    closedir(dir);
  }
  return count;
}

class EngineFiles : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    dir_ = new TempDir();
    for (const Format& format : kFormats) {
      ASSERT_TRUE(test::Tone(Path(format), 1000, 0.5, 1.0, format.codec))
          << format.ext;
    }
  }
  static void TearDownTestSuite() { delete dir_; }
  static std::string Path(const Format& format) {
    return dir_->File(std::string("tone.") + format.ext);
  }

  static TempDir* dir_;
  Engine engine_;
};

TempDir* EngineFiles::dir_ = nullptr;

TEST_F(EngineFiles, EveryFormatOpensWithItsTypeLengthAndTags) {
  for (const Format& format : kFormats) {
    SCOPED_TRACE(format.ext);
    auto handle = engine_.StreamCreateFile(Path(format), 0, 0, 0);
    ASSERT_NE(handle, 0u);
    AudioLibrary::ChannelInfo info;
    ASSERT_TRUE(engine_.ChannelGetInfo(handle, &info));
    EXPECT_EQ(info.ctype, format.ctype);
    double seconds = engine_.ChannelBytes2Seconds(
        handle, engine_.ChannelGetLength(handle, 0));
    EXPECT_NEAR(seconds, 1.0, 0.05);
    if (format.tagged) {
      EXPECT_EQ(engine_.TagsRead(handle, "%TITL"), "Tone");
      EXPECT_EQ(engine_.TagsRead(handle, "%ARTI"), "Kivo");
      EXPECT_EQ(engine_.TagsRead(handle, "%ALBM"), "Tests");
      EXPECT_EQ(engine_.TagsRead(handle, "%TRCK").substr(0, 1), "7");
      EXPECT_EQ(engine_.TagsRead(handle, "%GNRE"), "Sine");
      EXPECT_EQ(engine_.TagsRead(handle, "%YEAR").substr(0, 4), "2024");
      EXPECT_EQ(engine_.TagsRead(handle, "%CMNT"), "generated");
      EXPECT_EQ(engine_.TagsRead(handle, "[%ARTI - %TITL]"), "[Kivo - Tone]");
    }
    EXPECT_FALSE(engine_.MusicFree(handle));  // a stream is not a module
    EXPECT_TRUE(engine_.StreamFree(handle));
  }
}

TEST_F(EngineFiles, DecodeProbeStartsNoThreadAndNeverPlays) {
  ASSERT_TRUE(engine_.Init(1, 44100, 0));
  int threads = ThreadCount();
  auto probe = engine_.StreamCreateFile(Path(kFormats[0]), 0, 0,
                                        AudioLibrary::kStreamDecode);
  ASSERT_NE(probe, 0u);
  EXPECT_EQ(engine_.TagsRead(probe, "%TITL"), "Tone");
  EXPECT_FALSE(engine_.ChannelPlay(probe, true));
  EXPECT_EQ(engine_.ChannelIsActive(probe), AudioLibrary::kActiveStopped);
  // A length probe opened for playing starts nothing until it plays either.
  auto length_probe = engine_.StreamCreateFile(Path(kFormats[2]), 0, 0, 0);
  ASSERT_NE(length_probe, 0u);
  EXPECT_EQ(ThreadCount(), threads);
  EXPECT_TRUE(engine_.StreamFree(probe));
  EXPECT_TRUE(engine_.StreamFree(length_probe));
}

TEST_F(EngineFiles, StaleAndUnknownHandlesAreHarmless) {
  ASSERT_TRUE(engine_.Init(1, 44100, 0));
  auto handle = engine_.StreamCreateFile(Path(kFormats[0]), 0, 0, 0);
  ASSERT_TRUE(engine_.ChannelPlay(handle, true));
  ASSERT_TRUE(engine_.StreamFree(handle));
  for (AudioLibrary::Handle stale : {handle, 0u, 987654u}) {
    EXPECT_FALSE(engine_.StreamFree(stale));
    EXPECT_FALSE(engine_.MusicFree(stale));
    EXPECT_FALSE(engine_.ChannelStop(stale));
    EXPECT_FALSE(engine_.ChannelPause(stale));
    EXPECT_FALSE(engine_.ChannelPlay(stale, false));
    EXPECT_EQ(engine_.ChannelIsActive(stale), AudioLibrary::kActiveStopped);
    EXPECT_EQ(engine_.ChannelGetLevel(stale), AudioLibrary::kLevelError);
    EXPECT_EQ(engine_.ChannelGetLength(stale, 0), AudioLibrary::kLengthError);
    EXPECT_EQ(engine_.ChannelBytes2Seconds(stale, AudioLibrary::kLengthError),
              -1);
    EXPECT_EQ(engine_.TagsRead(stale, "%TITL"), "");
    EXPECT_FALSE(engine_.ChannelGetTags(stale, AudioLibrary::kTagMeta));
    EXPECT_EQ(engine_.ChannelSetSync(stale, AudioLibrary::kSyncEnd, 0,
                                     [](auto, auto, auto) {}),
              0u);
  }
}

TEST_F(EngineFiles, BadInputFailsQuietly) {
  TempDir dir;
  std::ofstream(dir.File("noise.mp3")) << std::string(4096, '\x5a');
  std::ofstream(dir.File("empty.ogg"));
  EXPECT_EQ(engine_.StreamCreateFile(dir.File("noise.mp3"), 0, 0, 0), 0u);
  EXPECT_EQ(engine_.StreamCreateFile(dir.File("empty.ogg"), 0, 0, 0), 0u);
  EXPECT_EQ(engine_.StreamCreateFile(dir.File("missing.mp3"), 0, 0, 0), 0u);
  EXPECT_EQ(engine_.MusicLoad(dir.File("noise.mp3"), 0, 0, 0x20200, 0), 0u);
  // A file name that reads like an address is still a file name.
  EXPECT_EQ(engine_.StreamCreateFile("http://127.0.0.1:9/x.mp3", 0, 0, 0), 0u);
  // Not an address: refused before any connection is tried.
  EXPECT_EQ(engine_.StreamCreateUrl(Path(kFormats[0]), 0, 0, nullptr), 0u);
  EXPECT_EQ(engine_.StreamCreateUrl("httpfoo", 0, 0, nullptr), 0u);
  EXPECT_EQ(engine_.StreamCreateUrl("ftp:/", 0, 0, nullptr), 0u);
}

TEST_F(EngineFiles, OptionsDevicesAndVersion) {
  EXPECT_EQ(engine_.GetVersion() >> 16, 0x0204u);
  AudioLibrary::DeviceInfo device;
  ASSERT_TRUE(engine_.GetDeviceInfo(1, &device));
  EXPECT_FALSE(device.name.empty());
  EXPECT_FALSE(engine_.GetDeviceInfo(0, &device));
  EXPECT_FALSE(engine_.GetDeviceInfo(1000, &device));
  EXPECT_FALSE(engine_.Init(1000, 44100, 0));
  EXPECT_TRUE(engine_.Init(1, 44100, 0));
  EXPECT_FALSE(engine_.Init(1, 44100, 0));  // already open
  EXPECT_TRUE(engine_.SetConfig(AudioLibrary::kConfigGlobalMusicVolume, 0));
  EXPECT_TRUE(
      engine_.SetConfig(AudioLibrary::kConfigGlobalStreamVolume, 10000));
  EXPECT_FALSE(
      engine_.SetConfig(AudioLibrary::kConfigGlobalStreamVolume, 10001));
  EXPECT_TRUE(engine_.SetConfig(AudioLibrary::kConfigNetTimeout, 10000));
  EXPECT_TRUE(engine_.SetConfig(AudioLibrary::kConfigNetPassive, 1));
  EXPECT_TRUE(
      engine_.SetConfigPtr(AudioLibrary::kConfigNetAgent, "Kivo Player v1.31"));
  EXPECT_TRUE(
      engine_.SetConfigPtr(AudioLibrary::kConfigNetProxy, std::nullopt));
  EXPECT_FALSE(engine_.SetConfig(12345, 1));
  // Free releases every channel; Init works again after it.
  auto handle = engine_.StreamCreateFile(Path(kFormats[0]), 0, 0, 0);
  ASSERT_NE(handle, 0u);
  EXPECT_TRUE(engine_.Free());
  EXPECT_EQ(engine_.ChannelGetLength(handle, 0), AudioLibrary::kLengthError);
  EXPECT_TRUE(engine_.Init(1, 44100, 0));
}

TEST_F(EngineFiles, SecondsAndBytesConvertExactly) {
  auto handle = engine_.StreamCreateFile(Path(kFormats[3]), 0, 0, 0);
  ASSERT_NE(handle, 0u);
  EXPECT_EQ(engine_.ChannelSeconds2Bytes(handle, 1.0), 44100u * 4);
  EXPECT_EQ(engine_.ChannelSeconds2Bytes(handle, 0.5), 22050u * 4);
  EXPECT_DOUBLE_EQ(engine_.ChannelBytes2Seconds(handle, 44100u * 4 * 3), 3.0);
  EXPECT_EQ(engine_.ChannelGetLength(handle, 0), 44100u * 4);
  EXPECT_TRUE(engine_.ChannelSetPosition(handle, 22050u * 4, 0));
  EXPECT_EQ(engine_.ChannelGetPosition(handle, 0), 22050u * 4);
  EXPECT_FALSE(engine_.ChannelSetPosition(handle, 44100u * 8, 0));
}

}  // namespace
}  // namespace kivo::engine
