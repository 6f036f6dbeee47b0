#include "core/playlist/entry_names.h"

#include <gtest/gtest.h>

namespace kivo {
namespace {

TEST(BaseTitleTest, NameAfterTheLastSlashCutBeforeItsLastDot) {
  EXPECT_EQ(BaseTitle("/home/u/Music/Song.Name.mp3"), "Song.Name");
  EXPECT_EQ(BaseTitle("/a.b/track"), "track");
  EXPECT_EQ(BaseTitle("/music/ends with dot."), "ends with dot");
  EXPECT_EQ(BaseTitle("noext"), "noext");
  EXPECT_EQ(BaseTitle("http://host/live.mp3"), "live");
  EXPECT_EQ(BaseTitle("http://host"), "host");
  EXPECT_EQ(BaseTitle("C:colon.ogg"), "C:colon");
  EXPECT_EQ(BaseTitle(""), "");
}

TEST(IsSupportedMediaTest, ExtensionsOfTheTableInAnyCase) {
  EXPECT_TRUE(IsSupportedMedia("/m/a.mp3"));
  EXPECT_TRUE(IsSupportedMedia("/m/LOUD.MP3"));
  EXPECT_TRUE(IsSupportedMedia("/m/video.mp4"));
  EXPECT_TRUE(IsSupportedMedia("/m/x.wvc"));
  // Ogg Opus and Ogg audio under their own names, common on Linux desktops.
  EXPECT_TRUE(IsSupportedMedia("/m/podcast.opus"));
  EXPECT_TRUE(IsSupportedMedia("/m/Song.OGA"));
  EXPECT_FALSE(IsSupportedMedia("/m/a.m4p"));
  EXPECT_FALSE(IsSupportedMedia("/m/noext"));
  EXPECT_FALSE(IsSupportedMedia("/m/a.mp3.bak"));
  EXPECT_FALSE(IsSupportedMedia("/m.mp3/file"));
  EXPECT_FALSE(IsSupportedMedia("/m/list.kpp"));
  EXPECT_FALSE(IsSupportedMedia("/m/a.mp3 [directory not found]"));
}

TEST(NetworkLocationTest, PrefixesAreExact) {
  EXPECT_TRUE(IsNetworkStream("http://x"));
  EXPECT_TRUE(IsNetworkStream("httpfoo"));
  EXPECT_TRUE(IsNetworkStream("ftp://x"));
  EXPECT_FALSE(IsNetworkStream("HTTP://x"));
  EXPECT_TRUE(IsStreamAddress("https://x"));
  EXPECT_FALSE(IsStreamAddress("http:/x"));
  EXPECT_TRUE(IsStreamAddress("http://x"));
  EXPECT_FALSE(IsStreamAddress("HTTP://x"));
}

}  // namespace
}  // namespace kivo
