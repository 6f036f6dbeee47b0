// Tracker modules through libopenmpt, written by the tests' own generator.
#include <gtest/gtest.h>

#include "engine/engine.h"
#include "engine/media.h"
#include "engine/module_writer.h"

namespace kivo::engine {
namespace {

struct Kind {
  const char* ext;
  uint32_t ctype;
};

const Kind kKinds[] = {
    {"mod", AudioLibrary::kCTypeMusicMod},
    {"s3m", AudioLibrary::kCTypeMusicS3m},
    {"xm", AudioLibrary::kCTypeMusicXm},
    {"it", AudioLibrary::kCTypeMusicIt},
};

constexpr uint32_t kPrescanRamp = 0x20200;

TEST(EngineModules, EveryKindLoadsWithTypeLengthAndTitle) {
  test::TempDir dir;
  Engine engine;
  for (const Kind& kind : kKinds) {
    SCOPED_TRACE(kind.ext);
    std::string path = dir.File(std::string("song.") + kind.ext);
    ASSERT_TRUE(test::WriteModule(path, kind.ext, "Kivo Song"));
    // Modules are no streams: the player falls back to MusicLoad for them.
    EXPECT_EQ(engine.StreamCreateFile(path, 0, 0, 0), 0u);
    auto handle = engine.MusicLoad(path, 0, 0, kPrescanRamp, 0);
    ASSERT_NE(handle, 0u);
    AudioLibrary::ChannelInfo info;
    ASSERT_TRUE(engine.ChannelGetInfo(handle, &info));
    EXPECT_EQ(info.ctype, kind.ctype);
    EXPECT_NEAR(
        engine.ChannelBytes2Seconds(handle, engine.ChannelGetLength(handle, 0)),
        0.96, 0.03);
    EXPECT_EQ(engine.TagsRead(handle, "%TITL"), "Kivo Song");
    EXPECT_FALSE(engine.StreamFree(handle));
    EXPECT_TRUE(engine.MusicFree(handle));
    EXPECT_FALSE(engine.MusicFree(handle));
  }
}

TEST(EngineModules, SongMessageIsTheComment) {
  test::TempDir dir;
  Engine engine;
  std::string path = dir.File("message.it");
  ASSERT_TRUE(test::WriteModule(path, "it", "With Message"));
  auto handle = engine.MusicLoad(path, 0, 0, kPrescanRamp, 0);
  ASSERT_NE(handle, 0u);
  EXPECT_EQ(engine.TagsRead(handle, "%CMNT"), "made by the tests");
  EXPECT_EQ(engine.TagsRead(handle, "%ALBM"), "");
}

}  // namespace
}  // namespace kivo::engine
