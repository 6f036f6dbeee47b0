#include "core/app/expand_argument.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "fakes/temp_dir.h"

namespace kivo {
namespace {

using testing::TempDir;

TEST(ExpandArgumentTest, AbsolutePathsAreNormalisedLexically) {
  TempDir dir;
  std::string file = dir.Write("music/a.mp3", "");
  EXPECT_EQ(ExpandArgument(dir.path() + "music/./../music//a.mp3", "/"), file);
  EXPECT_EQ(ExpandArgument(dir.path() + "music", "/"), dir.path() + "music");
}

TEST(ExpandArgumentTest, RelativePathsAreTakenFromTheCurrentFolder) {
  TempDir dir;
  std::string file = dir.Write("music/a.mp3", "");
  EXPECT_EQ(ExpandArgument("music/a.mp3", dir.path()), file);
  EXPECT_EQ(ExpandArgument("a.mp3", dir.path() + "music"), file);
}

TEST(ExpandArgumentTest, MissingPathsAndTrailingSlashesAreMarked) {
  TempDir dir;
  dir.Write("music/a.mp3", "");
  EXPECT_EQ(ExpandArgument(dir.path() + "none.mp3", "/"),
            dir.path() + "none.mp3 [directory not found]");
  EXPECT_EQ(ExpandArgument(dir.path() + "music/", "/"),
            dir.path() + "music/ [directory not found]");
  EXPECT_EQ(ExpandArgument("", "/"), " [directory not found]");
}

TEST(ExpandArgumentTest, SymlinksAreKeptAsTyped) {
  TempDir dir;
  dir.Write("real/a.mp3", "");
  std::filesystem::create_directory_symlink(dir.path() + "real",
                                            dir.path() + "link");
  EXPECT_EQ(ExpandArgument(dir.path() + "link/a.mp3", "/"),
            dir.path() + "link/a.mp3");
}

TEST(ExpandArgumentTest, StreamAddressesAreKeptAsTheyAre) {
  for (const char* address :
       {"http://host:8000/stream", "https://host/a/../b.mp3", "ftp://host/x"}) {
    EXPECT_EQ(ExpandArgument(address, "/music"), address);
  }
  // Only those three schemes: anything else is a name in the current folder.
  EXPECT_EQ(ExpandArgument("HTTP://host/x", "/none"),
            "HTTP://host/x [directory not found]");
  EXPECT_EQ(ExpandArgument("rtsp://host/x", "/none"),
            "rtsp://host/x [directory not found]");
}

TEST(ExpandArgumentTest, HandOffTextEndsEveryArgumentWithANul) {
  TempDir dir;
  std::string a = dir.Write("a|b.mp3", "");
  EXPECT_EQ(BuildHandOffText({}, "/"), "");
  EXPECT_EQ(BuildHandOffText({"a|b.mp3", "c.mp3"}, dir.path()),
            a + '\0' + "c.mp3 [directory not found]" + '\0');
}

}  // namespace
}  // namespace kivo
