#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "core/playlist/kpp_format.h"
#include "core/playlist/m3u_format.h"
#include "core/playlist/pls_format.h"

namespace kivo {
namespace {

using Lines = std::vector<std::string>;

std::vector<std::string> Files(const std::vector<PlsEntry>& entries) {
  std::vector<std::string> files;
  for (const PlsEntry& entry : entries) files.push_back(entry.file);
  return files;
}

TEST(PlaylistFormatsTest, KppKeepsEveryLineAndReadsEachLineEnding) {
  EXPECT_EQ(ParseKpp("/a.mp3\r\n\r\n/b.mp3\r/c.mp3\n/d.mp3"),
            (Lines{"/a.mp3", "", "/b.mp3", "/c.mp3", "/d.mp3"}));
  EXPECT_EQ(ParseKpp(""), Lines{});
  EXPECT_EQ(FormatKpp({"/a", "", "/b"}), "/a\r\n\r\n/b\r\n");
}

TEST(PlaylistFormatsTest, M3uSkipsCommentsAndBlankLinesButNotBlanks) {
  std::string m3u =
      "#EXTM3U\r\n#EXTINF:200,A\r\n/m/A.mp3\r\n\r\n# a comment\n"
      "  /m/b c.ogg \rhttp://radio/live\n\n";
  EXPECT_EQ(ParseM3u(m3u).ToVector(),
            (Lines{"/m/A.mp3", "  /m/b c.ogg ", "http://radio/live"}));
  EXPECT_EQ(FormatM3u({}, {}), "#EXTM3U\r\n");
  EXPECT_EQ(FormatM3u({"/m/A.mp3", "http://host/live.mp3"}, {200, 0}),
            "#EXTM3U\r\n#EXTINF:200,A\r\n/m/A.mp3\r\n"
            "#EXTINF:0,live\r\nhttp://host/live.mp3\r\n");
}

TEST(PlaylistFormatsTest, PlsTakesEntriesByNumberUpToTheCount) {
  auto entries = ParsePls(
      "[Playlist]\r\nnumberofentries=2\r\nFile1=/a.mp3\r\nTitle1=A\r\n"
      "FILE2=/b.mp3\r\nFile3=/c.mp3\r\n",
      "File Not Found");
  EXPECT_EQ(Files(entries), (Lines{"/a.mp3", "/b.mp3"}));
  EXPECT_EQ(entries[0].title, "A");
  EXPECT_EQ(entries[1].title, "File Not Found");
  // Gaps below the highest File key give empty entries.
  EXPECT_EQ(Files(ParsePls("[playlist]\nNumberOfEntries=3\nFile3=/c\n", "")),
            (Lines{"", "", "/c"}));
  EXPECT_TRUE(
      ParsePls("[playlist]\nNumberOfEntries=-4\nFile1=/a\n", "").empty());
  EXPECT_TRUE(ParsePls("[other]\nNumberOfEntries=1\nFile1=/a\n", "").empty());
}

TEST(PlaylistFormatsTest, ALyingPlsCountMakesNoEntriesPastItsFileKeys) {
  EXPECT_EQ(Files(ParsePls("[playlist]\nNumberOfEntries=2000000000\n"
                           "File1=/a\nFile2=/b\nFile01=/x\nFile0=/y\n",
                           "")),
            (Lines{"/a", "/b"}));
  // One far key cannot ask for billions of empty entries either.
  auto far = ParsePls(
      "[playlist]\nNumberOfEntries=2000000000\nFile2000000000=/z\n", "");
  EXPECT_EQ(far.size(), static_cast<size_t>(kMaxPlsGapEntries + 1));
  EXPECT_TRUE(ParsePls("[playlist]\nNumberOfEntries=99\n", "").empty());
}

TEST(PlaylistFormatsTest, PlsWrittenOverALongerListKeepsItsOtherKeys) {
  IniDocument ini = IniDocument::Parse(
      "[Playlist]\r\nFile1=/old1\r\nTitle1=old1\r\nLength1=1\r\n"
      "File2=/old2\r\nFile3=/old3\r\nTitle3=old3\r\nNumberOfEntries=3\r\n"
      "Version=2\r\n[extra]\r\nkeep=1\r\n");
  WritePls(&ini, {"/m/new.mp3"}, {42});
  EXPECT_EQ(ini.GetText("playlist", "File1", ""), "/m/new.mp3");
  EXPECT_EQ(ini.GetText("playlist", "Title1", ""), "new");
  EXPECT_EQ(ini.GetText("playlist", "Length1", ""), "42");
  EXPECT_EQ(ini.GetText("playlist", "File3", ""), "/old3");
  EXPECT_EQ(ini.GetText("playlist", "NumberOfEntries", ""), "1");
  EXPECT_EQ(ini.GetText("extra", "keep", ""), "1");
  EXPECT_EQ(Files(ReadPlsEntries(ini, "")), Lines{"/m/new.mp3"});

  IniDocument fresh;
  WritePls(&fresh, {}, {});
  EXPECT_EQ(fresh.Serialize(),
            "[playlist]\r\nNumberOfEntries=0\r\nVersion=2\r\n");
  WritePls(&fresh, {"/a.mp3"}, {7});
  EXPECT_EQ(fresh.Serialize(),
            "[playlist]\r\nNumberOfEntries=1\r\nVersion=2\r\nFile1=/a.mp3\r\n"
            "Title1=a\r\nLength1=7\r\n");
}

TEST(PlaylistFormatsTest, HostileInputParsesToWhatItHolds) {
  std::mt19937 random(7);
  std::string garbage(1 << 16, '\0');
  for (char& c : garbage) c = static_cast<char>(random());
  ParseKpp(garbage);
  ParseM3u(garbage);
  ParsePls(garbage, "");

  std::string with_nul("/a\0b.mp3\r\n/c.mp3", 16);
  EXPECT_EQ(ParseKpp(with_nul), (Lines{std::string("/a\0b.mp3", 8), "/c.mp3"}));
  std::string long_line(1 << 20, 'x');
  EXPECT_EQ(
      ParseM3u(long_line + "\n#" + long_line + "\n" + long_line).ToVector(),
      (Lines{long_line, long_line}));
  // INI values are cut where the profile functions cut them.
  auto entries =
      ParsePls("[playlist]\nNumberOfEntries=1\nFile1=" + long_line, "");
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].file.size(), IniDocument::kMaxValueLength);
}

}  // namespace
}  // namespace kivo
