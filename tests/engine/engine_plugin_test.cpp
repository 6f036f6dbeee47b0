// Decoder plug-ins: the ABI check, decoders tried after the built-in ones,
// freeing, and the game-music plug-in that ships with the player.
#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <thread>

#include "engine/capture.h"
#include "engine/engine.h"
#include "engine/media.h"
#include "engine/plugin_abi.h"

namespace kivo::engine {
namespace {

using Handle = AudioLibrary::Handle;

void WriteWord(std::ofstream& out, uint32_t value) {
  for (int i = 0; i < 4; ++i) out.put(static_cast<char>(value >> (8 * i)));
}

std::string ToneFile(const test::TempDir& dir, bool slow = false) {
  std::string path = dir.File(slow ? "slow.kivotone" : "tone.kivotone");
  std::ofstream out(path, std::ios::binary);
  out << (slow ? "KIVOSLOW" : "KIVOTONE");
  WriteWord(out, 22050);
  WriteWord(out, 22050 * 2);
  return path;
}

// A minimal VGM: the SN76489 plays about 440 Hz for one second.
std::string VgmFile(const test::TempDir& dir) {
  std::string data = {'\x50', '\x8e', '\x50', '\x0f', '\x50',
                      '\x90', '\x61', '\x44', '\xac', '\x66'};
  std::string path = dir.File("tune.vgm");
  std::ofstream out(path, std::ios::binary);
  out << "Vgm ";
  WriteWord(out, static_cast<uint32_t>(0x40 + data.size() - 4));
  WriteWord(out, 0x150);
  WriteWord(out, 3579545);
  WriteWord(out, 0), WriteWord(out, 0);
  WriteWord(out, 44100), WriteWord(out, 0), WriteWord(out, 0);
  WriteWord(out, 60), WriteWord(out, 0x00100009);
  WriteWord(out, 0), WriteWord(out, 0);
  WriteWord(out, 0x0c), WriteWord(out, 0), WriteWord(out, 0);
  out << data;
  return path;
}

TEST(EnginePlugins, SeekingNeverWaitsForADecodeInProgress) {
  test::TempDir dir;
  Engine engine;
  ASSERT_TRUE(engine.Init(1, 44100, 0));
  ASSERT_NE(engine.PluginLoad(KIVO_TEST_TONE_PLUGIN, 0), 0u);
  Handle handle = engine.StreamCreateFile(ToneFile(dir, true), 0, 0, 0);
  ASSERT_NE(handle, 0u);
  ASSERT_TRUE(engine.ChannelPlay(handle, true));
  // The decode thread is inside its second, slow read by now.
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  auto start = std::chrono::steady_clock::now();
  uint64_t target = engine.ChannelSeconds2Bytes(handle, 1.0);
  EXPECT_TRUE(engine.ChannelSetPosition(handle, target, 0));
  EXPECT_LT(std::chrono::steady_clock::now() - start,
            std::chrono::milliseconds(500));
  EXPECT_EQ(engine.ChannelGetPosition(handle, 0), target);
  EXPECT_TRUE(engine.StreamFree(handle));
}

TEST(EnginePlugins, ADecoderPluginTakesWhatTheBuiltInOnesDoNot) {
  test::TempDir dir;
  Engine engine;
  ASSERT_TRUE(engine.Init(1, 44100, 0));
  std::string path = ToneFile(dir);
  EXPECT_EQ(engine.StreamCreateFile(path, 0, 0, 0), 0u);
  EXPECT_EQ(engine.PluginLoad(KIVO_TEST_BAD_ABI_PLUGIN, 0), 0u);
  EXPECT_EQ(engine.PluginLoad(dir.File("missing.so"), 0), 0u);
  Handle plugin = engine.PluginLoad(KIVO_TEST_TONE_PLUGIN, 0);
  ASSERT_NE(plugin, 0u);

  Handle handle = engine.StreamCreateFile(path, 0, 0, 0);
  ASSERT_NE(handle, 0u);
  AudioLibrary::ChannelInfo info;
  ASSERT_TRUE(engine.ChannelGetInfo(handle, &info));
  EXPECT_EQ(info.ctype, KIVO_PLUGIN_CTYPE_BASE + 7);
  EXPECT_EQ(info.freq, 22050u);
  EXPECT_DOUBLE_EQ(
      engine.ChannelBytes2Seconds(handle, engine.ChannelGetLength(handle, 0)),
      2.0);
  EXPECT_EQ(engine.TagsRead(handle, "%TITL"), "Plug-in Tone");
  // Built-in formats still go to the built-in decoders.
  std::string wav = dir.File("tone.wav");
  ASSERT_TRUE(test::Tone(wav, 1000, 0.5, 0.2, "-c:a pcm_s16le"));
  Handle builtin = engine.StreamCreateFile(wav, 0, 0, 0);
  ASSERT_TRUE(engine.ChannelGetInfo(builtin, &info));
  EXPECT_EQ(info.ctype, 0x40001u);

  // Mono at 22.05 kHz plays on both sides of the 44.1 kHz device.
  ASSERT_TRUE(engine.ChannelPlay(handle, true));
  uint32_t level = 0;
  ASSERT_TRUE(test::WaitUntil([&] {
    level = engine.ChannelGetLevel(handle);
    return (level & 0xffff) > 12000;
  }));
  EXPECT_NEAR(level & 0xffff, 16384, 1000);
  EXPECT_NEAR(level >> 16, 16384, 1000);

  // Freeing the plug-in leaves the open stream working; new files fail.
  EXPECT_TRUE(engine.PluginFree(plugin));
  EXPECT_FALSE(engine.PluginFree(plugin));
  EXPECT_EQ(engine.StreamCreateFile(path, 0, 0, 0), 0u);
  EXPECT_EQ(engine.ChannelIsActive(handle), AudioLibrary::kActivePlaying);
  EXPECT_TRUE(engine.StreamFree(handle));
  EXPECT_TRUE(engine.PluginFree(0));
}

TEST(EnginePlugins, TheGameMusicPluginPlaysAVgmTune) {
  test::TempDir dir;
  Engine engine;
  ASSERT_TRUE(engine.Init(1, 44100, 0));
  std::string path = VgmFile(dir);
  EXPECT_EQ(engine.StreamCreateFile(path, 0, 0, 0), 0u);
  ASSERT_NE(engine.PluginLoad(KIVO_GME_PLUGIN, 0), 0u);
  Handle handle = engine.StreamCreateFile(path, 0, 0, 0);
  ASSERT_NE(handle, 0u);
  EXPECT_NEAR(
      engine.ChannelBytes2Seconds(handle, engine.ChannelGetLength(handle, 0)),
      1.0, 0.05);
  test::SyncLatch ended;
  engine.ChannelSetSync(handle, AudioLibrary::kSyncEnd, 0,
                        [&](Handle, Handle, uint32_t) { ended.Fire(0); });
  ASSERT_TRUE(engine.ChannelPlay(handle, true));
  EXPECT_TRUE(test::WaitUntil(
      [&] { return (engine.ChannelGetLevel(handle) & 0xffff) > 1000; }));
  EXPECT_TRUE(ended.Wait());
}

}  // namespace
}  // namespace kivo::engine
