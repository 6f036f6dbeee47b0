#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "core/util/text.h"
#include "fakes/player_harness.h"

namespace kivo {
namespace {

using testing::FakeAudioLibrary;
using testing::PlayerHarness;
using Lines = std::vector<std::string>;

struct FilesTest : ::testing::Test {
  FilesTest() { h.Start(); }
  PlaylistModel& model() { return h.player->state().playlist; }
  void Save(const std::string& name, int type) {
    h.dialogs.save_answers.push_back(std::pair{h.dir.File(name), type});
    h.player->MenuItemClicked("SavePlaylist");
  }
  void Load(const std::string& path) {
    h.dialogs.open_answers.push_back({path, "/ignored/second.kpp"});
    h.player->MenuItemClicked("LoadPlaylist");
  }
  std::string LastMessage() {
    return h.dialogs.messages.empty() ? "" : h.dialogs.messages.back().text;
  }
  PlayerHarness h;
};

TEST_F(FilesTest, KppRoundTripWritesCrLfAfterEveryLine) {
  Lines paths = h.AddEntries({"a.mp3", "b.mp3", "c.mp3"});
  Save("three.kpp", 1);
  EXPECT_EQ(h.dir.Read("three.kpp"),
            paths[0] + "\r\n" + paths[1] + "\r\n" + paths[2] + "\r\n");
  EXPECT_EQ(h.dialogs.titles.back(), "Save Playlist");
  EXPECT_EQ(h.dialogs.filters.back(),
            "Kivo Playlist (*.KPP)|*.kpp|M3U Playlist (*.M3U)|*.m3u|"
            "PLS Playlist (*.PLS)|*.pls");
  EXPECT_EQ(h.Setting("settings", "LastPlayed"), h.dir.File("three.kpp"));

  h.player->MenuItemClicked("Clear");
  model().playing_index = 1;
  Load(h.dir.File("three.kpp"));
  EXPECT_EQ(model().file_list.ToVector(), paths);
  EXPECT_EQ(LinesOf(model()), (Lines{"a", "b", "c"}));
  EXPECT_EQ(PoolOf(model()), paths);
  EXPECT_EQ(model().playing_index, -1);
  EXPECT_EQ(h.dialogs.titles.back(), "Load Playlist");
  EXPECT_EQ(h.dialogs.filters.back(), "All Supported Types|*.kpp;*.m3u;*.pls");
}

TEST_F(FilesTest, M3uOfAFileAndAnAddressHasFiveLines) {
  FakeAudioLibrary::Media a;
  a.length_seconds = 200.9;
  std::string path = h.AddFile("A.mp3", a);
  model().AppendEntry(path, "A", true);
  model().AppendEntry("http://host/live.mp3", "x", false);
  Save("list.m3u", 2);
  EXPECT_EQ(h.dir.Read("list.m3u"), "#EXTM3U\r\n#EXTINF:200,A\r\n" + path +
                                        "\r\n#EXTINF:0,live\r\n"
                                        "http://host/live.mp3\r\n");
  EXPECT_EQ(h.audio.open_count(), 0);  // every probe was freed

  h.player->MenuItemClicked("Clear");
  Load(h.dir.File("list.m3u"));
  EXPECT_EQ(model().file_list.ToVector(),
            (Lines{path, "http://host/live.mp3"}));
  EXPECT_EQ(LinesOf(model()), (Lines{"A", "[S] http://host/live.mp3"}));
}

TEST_F(FilesTest, ModulesAreMeasuredAndPlsOverALongerPlsKeepsItsTail) {
  FakeAudioLibrary::Media module;
  module.kind = FakeAudioLibrary::Media::kModule;
  module.length_seconds = 61.5;
  h.AddEntries({"1.mp3", "2.mp3", "3.mp3", "4.mp3"});
  std::string song = h.AddFile("tune.xm", module);
  model().AppendEntry(song, "tune", true);
  Save("list.pls", 3);
  IniDocument five = IniDocument::Parse(h.dir.Read("list.pls"));
  EXPECT_EQ(five.GetText("playlist", "Length5", ""), "61");
  EXPECT_EQ(five.GetText("playlist", "Length1", ""), "180");
  EXPECT_EQ(h.dir.Read("list.pls").substr(0, 12), "[playlist]\r\n");

  h.player->MenuItemClicked("Clear");
  Lines two = h.AddEntries({"x.mp3", "y.mp3"});
  Save("list.pls", 3);
  IniDocument ini = IniDocument::Parse(h.dir.Read("list.pls"));
  EXPECT_EQ(ini.GetText("playlist", "File1", ""), two[0]);
  EXPECT_EQ(ini.GetText("playlist", "Title2", ""), "y");
  EXPECT_EQ(ini.GetText("playlist", "File5", ""), song);
  EXPECT_EQ(ini.GetText("playlist", "Title3", ""), "3");
  EXPECT_EQ(ini.GetText("playlist", "NumberOfEntries", ""), "2");

  h.player->MenuItemClicked("Clear");
  Load(h.dir.File("list.pls"));
  EXPECT_EQ(model().file_list.ToVector(), two);
}

TEST_F(FilesTest, TheChosenTypeDecidesTheFormatNotTheName) {
  Lines paths = h.AddEntries({"a.mp3"});
  Save("list.m3u", 1);
  EXPECT_EQ(h.dir.Read("list.m3u"), paths[0] + "\r\n");
  EXPECT_EQ(h.player->state().history_list, Lines{h.dir.File("list.m3u")});
}

TEST_F(FilesTest, CapitalExtensionsLoadNothingAndRecordNothing) {
  h.AddEntries({"a.mp3"});
  h.dir.Write("LIST.M3U", "/x.mp3\r\n");
  Load(h.dir.File("LIST.M3U"));
  EXPECT_EQ(model().Count(), 1);
  EXPECT_TRUE(h.player->state().history_list.empty());
  EXPECT_TRUE(h.dialogs.messages.empty());
}

TEST_F(FilesTest, UnreadableKppAndM3uChangeNothingMissingPlsEmpties) {
  h.AddEntries({"a.mp3"});
  std::string before = h.Setting("settings", "LastPlayed");
  for (const char* name : {"gone.kpp", "gone.m3u"}) {
    Load(h.dir.File(name));
    EXPECT_EQ(LastMessage(), "Cannot open file \"" + h.dir.File(name) +
                                 "\". No such file or directory");
    EXPECT_EQ(model().Count(), 1);
  }
  EXPECT_EQ(h.Setting("settings", "LastPlayed"), before);
  EXPECT_TRUE(h.player->state().history_list.empty());

  size_t messages = h.dialogs.messages.size();
  Load(h.dir.File("gone.pls"));
  EXPECT_TRUE(model().Empty());
  EXPECT_EQ(h.Setting("settings", "LastPlayed"), h.dir.File("gone.pls"));
  EXPECT_EQ(h.dialogs.messages.size(), messages);
}

TEST_F(FilesTest, FailedSavesAreReportedAndNotRecorded) {
  h.AddEntries({"a.mp3"});
  std::string before = h.Setting("settings", "LastPlayed");
  Save("missing/list.kpp", 1);
  EXPECT_EQ(LastMessage(), "Cannot create file \"" +
                               h.dir.File("missing/list.kpp") +
                               "\". No such file or directory");
  Save("missing/list.m3u", 2);
  EXPECT_TRUE(StartsWith(LastMessage(), "Cannot create file \""));
  Save("missing/list.pls", 3);
  EXPECT_EQ(LastMessage(),
            "Unable to write to " + h.dir.File("missing/list.pls"));
  EXPECT_EQ(h.Setting("settings", "LastPlayed"), before);
  EXPECT_TRUE(h.player->state().history_list.empty());
}

TEST_F(FilesTest, AReadOnlyPlaylistIsKeptAndALinkedOneWrittenThrough) {
  Lines paths = h.AddEntries({"a.mp3", "b.mp3"});
  const std::string before = h.Setting("settings", "LastPlayed");
  for (const char* name : {"ro.kpp", "ro.m3u", "ro.pls"}) {
    ::chmod(h.dir.Write(name, "mine\r\n").c_str(), 0444);
  }
  Save("ro.kpp", 1);
  EXPECT_EQ(LastMessage(), "Cannot create file \"" + h.dir.File("ro.kpp") +
                               "\". Permission denied");
  Save("ro.m3u", 2);
  EXPECT_EQ(LastMessage(), "Cannot create file \"" + h.dir.File("ro.m3u") +
                               "\". Permission denied");
  Save("ro.pls", 3);
  EXPECT_EQ(LastMessage(), "Unable to write to " + h.dir.File("ro.pls"));
  for (const char* name : {"ro.kpp", "ro.m3u", "ro.pls"}) {
    EXPECT_EQ(h.dir.Read(name), "mine\r\n") << name;
  }
  EXPECT_EQ(h.Setting("settings", "LastPlayed"), before);
  EXPECT_TRUE(h.player->state().history_list.empty());

  h.dir.Write("synced/list.kpp", "");
  ASSERT_EQ(::symlink("synced/list.kpp", h.dir.File("list.kpp").c_str()), 0);
  Save("list.kpp", 1);
  EXPECT_EQ(h.dir.Read("synced/list.kpp"),
            paths[0] + "\r\n" + paths[1] + "\r\n");
  struct stat info {};
  ASSERT_EQ(::lstat(h.dir.File("list.kpp").c_str(), &info), 0);
  EXPECT_TRUE(S_ISLNK(info.st_mode));
}

TEST_F(FilesTest, HostileFilesLoadWhatTheyHoldWithoutHarm) {
  std::string big(50 << 20, 'a');
  h.dir.Write("big.kpp", big);
  Load(h.dir.File("big.kpp"));
  ASSERT_EQ(model().Count(), 1);
  EXPECT_EQ(model().file_list[0].size(), big.size());
  h.loop.Drain();
  EXPECT_EQ(model().Line(0).substr(0, 8), "[Error] ");

  std::string line(1 << 20, 'b');
  h.dir.Write("long.m3u", "#EXTM3U\n" + line + "\n" + line + "\r\n");
  Load(h.dir.File("long.m3u"));
  EXPECT_EQ(model().Count(), 2);

  h.dir.Write("nul.pls", std::string("[playlist]\nNumberOfEntries=2000000000\n"
                                     "File1=/a\0/b\n\0\0garbage",
                                     57));
  Load(h.dir.File("nul.pls"));
  EXPECT_EQ(model().Count(), 1);
  EXPECT_TRUE(h.dialogs.messages.empty());
}

TEST(PlaylistStartTest, M3uAndPlsArgumentsAndRestoresLoadThroughTheirReaders) {
  PlayerHarness h;
  std::string a = h.AddFile("a.mp3");
  std::string b = h.AddFile("b.mp3");
  h.dir.Write("mix.m3u", "#EXTM3U\r\n#EXTINF:1,b\r\n" + b + "\r\n" + a);
  ASSERT_TRUE(h.Start({h.dir.File("mix.m3u")}));
  EXPECT_EQ(h.player->state().playlist.file_list.ToVector(), (Lines{b, a}));
  EXPECT_EQ(h.player->state().playlist.playing_index, 0);
  EXPECT_EQ(h.audio.OpenChannels().size(), 1u);

  h.dir.Write("mix.pls", "[playlist]\nNumberOfEntries=1\nFile1=" + a + "\n");
  h.WriteSettings("[settings]\r\nDonationMsg=0\r\nLastPlayed=" +
                  h.dir.File("mix.pls") + "\r\n");
  h.Restart();
  ASSERT_TRUE(h.Start());
  EXPECT_EQ(h.player->state().playlist.file_list.ToVector(), Lines{a});
  EXPECT_EQ(h.player->state().playlist.playing_index, -1);
}

}  // namespace
}  // namespace kivo
