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
  EXPECT_EQ(ExpandArgument(dir.path() + "music", "/"),
            dir.path() + "music");
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

TEST(ExpandArgumentTest, HandOffTextEndsEveryArgumentWithABar) {
  TempDir dir;
  std::string a = dir.Write("a.mp3", "");
  EXPECT_EQ(BuildHandOffText({}, "/"), "");
  EXPECT_EQ(BuildHandOffText({"a.mp3", "b.mp3"}, dir.path()),
            a + "|b.mp3 [directory not found]|");
}

}  // namespace
}  // namespace kivo
