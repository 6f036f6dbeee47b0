#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <string>
#include <vector>

#include "core/app/expand_argument.h"
#include "core/playlist/folder_scan.h"
#include "core/util/atomic_file.h"
#include "fakes/player_harness.h"

namespace kivo {
namespace {

using testing::PlayerHarness;
using Lines = std::vector<std::string>;

struct AddingTest : ::testing::Test {
  AddingTest() { h.Start(); }
  PlaylistModel& model() { return h.player->state().playlist; }
  Lines Sorted(Lines lines) {
    std::sort(lines.begin(), lines.end());
    return lines;
  }
  // A tree with media at two levels, a text file and hidden entries.
  std::string MakeTree() {
    for (const char* name :
         {"tree/a.mp3", "tree/c.txt", "tree/sub/b.ogg", "tree/sub/x.MP3",
          "tree/.hidden/h.mp3", "tree/.h.mp3", "tree/sub/deep/d.flac"}) {
      h.dir.Write(name, "");
    }
    return h.dir.File("tree");
  }
  void Folder(const std::string& folder, const char* item) {
    h.dialogs.folder_answers.push_back(folder);
    h.player->MenuItemClicked(item);
  }
  PlayerHarness h;
};

TEST_F(AddingTest, AddMediaIntoAnEmptyOrAFilledPlaylist) {
  Lines chosen = {h.AddFile("one.mp3"), h.AddFile("two.ogg"),
                  h.dir.File("gone.wav")};
  h.dialogs.open_answers.push_back(chosen);
  h.player->MenuItemClicked("AddMedia");
  EXPECT_EQ(model().file_list.ToVector(), chosen);
  EXPECT_EQ(PoolOf(model()), chosen);
  // Into an empty list the lines are rebuilt, so a missing file shows why
  // once the files are checked.
  h.loop.Drain();
  EXPECT_EQ(LinesOf(model()), (Lines{"one", "two", "[Error] " + chosen[2]}));
  EXPECT_EQ(h.dialogs.titles.back(), "Add Media");
  EXPECT_EQ(h.dialogs.filters.back(),
            "All Supported Types|*.mp3;*.mp2;*.mp1;*.ogg;*.wma;*.flac;*.wav;"
            "*.m4a;*.m4p;*.m4v;*.aac;*.xm;*.it;*.s3m;*.mod;*.mtm;*.umx;*.mo3;"
            "*.aif;*.iff;*.aiff;*.ac3;*.ape;*.mpc;*.ofr;*.spx;*.tta;*.wv;*.wvc;"
            "*.fla;*.opus;*.oga;|All Files (*.*)|*.*");
  h.loop.Drain();  // the autosave is written in the background
  EXPECT_EQ(h.dir.Read("temp.tmp"),
            chosen[0] + "\r\n" + chosen[1] + "\r\n" + chosen[2] + "\r\n");

  h.dialogs.open_answers.push_back({h.dir.File("later.mp3")});
  h.player->MenuItemClicked("AddMedia");
  EXPECT_EQ(model().Line(model().Count() - 1), "later");
  h.player->MenuItemClicked("AddMedia");  // cancelled
  EXPECT_EQ(model().Count(), 4);
}

TEST_F(AddingTest, AddDirectoryScansDepthFirstSkippingHiddenAndUnsupported) {
  std::string tree = MakeTree();
  Folder(tree, "AddDirectory");
  EXPECT_EQ(h.dialogs.titles.back(), "Select a Directory");
  EXPECT_EQ(Sorted(model().file_list.ToVector()),
            (Lines{tree + "/a.mp3", tree + "/sub/b.ogg",
                   tree + "/sub/deep/d.flac", tree + "/sub/x.MP3"}));
  // The subfolder's three files come together, where the scan reached it:
  // a.mp3 is before or after them, never between.
  auto a = std::find(model().file_list.begin(), model().file_list.end(),
                     tree + "/a.mp3");
  EXPECT_TRUE(a - model().file_list.begin() == 0 ||
              a - model().file_list.begin() == 3);
  EXPECT_EQ(PoolOf(model()).size(), 4u);
  const Lines lines = LinesOf(model());
  EXPECT_TRUE(std::count(lines.begin(), lines.end(), "x"));
  Folder(tree, "AddDirectory");
  EXPECT_EQ(model().Count(), 8);
  Folder("", "AddDirectory");
  EXPECT_EQ(model().Count(), 8);
}

// An album's tracks come in name order, whatever order the file system keeps
// (ext4 lists a folder in hash order).
TEST_F(AddingTest, EveryWayOfScanningWalksEachFolderInNameOrderIgnoringCase) {
  for (const char* name :
       {"album/Track 10.mp3", "album/disc 2/b.mp3", "album/track 03.mp3",
        "album/Bonus.ogg", "album/TRACK 01.mp3", "album/Disc 1/c.mp3",
        "album/disc 2/A.mp3", "album/alpha.ogg", "album/Track 02.mp3"}) {
    h.dir.Write(name, "");
  }
  const std::string album = h.dir.File("album");
  Lines in_order;
  for (const char* name : {"/alpha.ogg", "/Bonus.ogg", "/Disc 1/c.mp3",
                           "/disc 2/A.mp3", "/disc 2/b.mp3", "/TRACK 01.mp3",
                           "/Track 02.mp3", "/track 03.mp3", "/Track 10.mp3"}) {
    in_order.push_back(album + name);
  }
  Folder(album, "AddDirectory");
  EXPECT_EQ(model().file_list.ToVector(), in_order);
  h.player->MenuItemClicked("Clear");
  h.player->FilesDropped({album});
  EXPECT_EQ(model().file_list.ToVector(), in_order);
  h.player->MenuItemClicked("Clear");
  Folder(album, "OpenFolder1");
  EXPECT_EQ(model().file_list.ToVector(), in_order);

  h.dir.Write("album/track 05.mp3", "");
  h.dir.Write("album/Track 04.mp3", "");
  h.player->MenuItemClicked("Refresh1");
  EXPECT_EQ(model().file_list.size(), 11u);
  EXPECT_EQ(model().Line(9), "Track 04");
  EXPECT_EQ(model().Line(10), "track 05");
}

TEST_F(AddingTest, UnreadableFoldersAndSymlinkLoopsAreSkipped) {
  std::string tree = MakeTree();
  ASSERT_EQ(::symlink("..", (tree + "/sub/up").c_str()), 0);
  ASSERT_EQ(::symlink(tree.c_str(), (tree + "/sub/deep/top").c_str()), 0);
  Folder(tree, "AddDirectory");
  EXPECT_EQ(model().Count(), 4);

  if (::geteuid() == 0) GTEST_SKIP() << "root reads every folder";
  h.player->MenuItemClicked("Clear");
  ::chmod((tree + "/sub").c_str(), 0);
  Folder(tree, "AddDirectory");
  ::chmod((tree + "/sub").c_str(), 0755);
  EXPECT_EQ(model().file_list.ToVector(), Lines{tree + "/a.mp3"});
}

// Linux lets a name hold a line break; no playlist file can: kept, such an
// entry would come back from the autosave as two wrong ones. It is left out
// and everything else arrives and survives a restart.
TEST_F(AddingTest, ANameWithALineBreakIsLeftOutAndTheListSurvivesARestart) {
  std::string a = h.AddFile("Album/a.mp3");
  h.AddFile("Album/two\nlines.mp3");
  h.AddFile("Album/carriage\rreturn.ogg");
  std::string z = h.AddFile("Album/z.mp3");
  Folder(h.dir.File("Album"), "AddDirectory");
  h.player->FilesDropped({h.dir.File("Album/two\nlines.mp3")});
  h.player->HandOffReceived(
      BuildHandOffText({h.dir.File("Album/carriage\rreturn.ogg")}, "/"));
  h.loop.Drain();
  EXPECT_EQ(model().file_list.ToVector(), (Lines{a, z}));
  h.Restart();
  ASSERT_TRUE(h.Start());
  EXPECT_EQ(model().file_list.ToVector(), (Lines{a, z}));
}

TEST_F(AddingTest, MusicFolderAddsOnlyNewFilesCaseSensitively) {
  std::string tree = MakeTree();
  model().AppendEntry(tree + "/a.mp3", "a", true);
  model().AppendEntry(tree + "/SUB/b.ogg", "b", true);
  Folder(tree, "OpenFolder1");
  EXPECT_EQ(h.dialogs.titles.back(), "Select Your Music Folder");
  EXPECT_EQ(h.Setting("settings", "MusicFolder"), tree);
  EXPECT_EQ(model().Count(), 5);
  h.player->MenuItemClicked("Refresh1");
  EXPECT_EQ(model().Count(), 5);
  h.dir.Write("tree/sub/new.wav", "");
  h.player->MenuItemClicked("Refresh1");
  EXPECT_EQ(model().file_list.back(), tree + "/sub/new.wav");
  h.player->MenuItemClicked("Refresh1");
  EXPECT_EQ(model().Count(), 6);
}

TEST_F(AddingTest, RefreshOfAGoneMusicFolderDoesNothing) {
  h.player->context().settings.WriteText("settings", "MusicFolder",
                                         h.dir.File("nowhere"));
  h.player->MenuItemClicked("Refresh1");
  EXPECT_TRUE(model().Empty());
  EXPECT_EQ(h.dir.Read("temp.tmp"), "");
  EXPECT_TRUE(h.dialogs.messages.empty());
}

TEST_F(AddingTest, AddUrlFetchesOnlyAnExactPlsExtension) {
  h.desktop.downloads["http://host/radio.pls"] =
      "[playlist]\r\nNumberOfEntries=3\r\nFile1=http://a/s\r\nTitle1=Alpha\r\n"
      "File2=http://b/s\r\nFile3=http://c/s\r\nTitle3=Gamma\r\n";
  h.dialogs.input_answers = {"http://host/radio.pls", "http://host/radio.PLS",
                             std::nullopt, "http://gone/x.pls"};
  h.player->MenuItemClicked("AddUrl");
  EXPECT_EQ(h.dialogs.titles.back(), "Open URL");
  EXPECT_EQ(h.dialogs.input_prompts.back(), "Enter a URL to open here:");
  EXPECT_EQ(model().file_list.ToVector(),
            (Lines{"http://a/s", "http://b/s", "http://c/s"}));
  EXPECT_EQ(LinesOf(model()), (Lines{"Alpha", "File Not Found", "Gamma"}));
  EXPECT_FALSE(FileExists(h.dir.File("URL.tmp")));
  EXPECT_TRUE(PoolOf(model()).empty());

  h.player->MenuItemClicked("AddUrl");
  EXPECT_EQ(model().Line(model().Count() - 1), "http://host/radio.PLS");
  EXPECT_EQ(model().Count(), 4);

  h.loop.Drain();
  std::remove(h.dir.File("temp.tmp").c_str());
  h.player->MenuItemClicked("AddUrl");  // cancelled: still saved
  EXPECT_EQ(model().Count(), 4);
  h.loop.Drain();
  EXPECT_NE(h.dir.Read("temp.tmp"), "");

  h.player->MenuItemClicked("AddUrl");
  ASSERT_EQ(h.dialogs.messages.size(), 1u);
  EXPECT_EQ(h.dialogs.messages[0].text, "Unable to add stream!");
  EXPECT_EQ(model().Count(), 4);
}

TEST_F(AddingTest, DropsAddFoldersAndSupportedFilesOnly) {
  std::string tree = MakeTree();
  std::string list = h.dir.Write("list.kpp", h.dir.File("x.mp3") + "\r\n");
  std::string song = h.AddFile("song.mp3");
  std::string text = h.dir.Write("notes.txt", "");
  std::string long_name(300, 'n');
  std::string long_path = h.dir.Write(long_name + ".mp3", "");
  h.player->FilesDropped({tree, text, list, song, long_path});
  EXPECT_EQ(model().Count(), 6);
  EXPECT_EQ(model().file_list[4], song);
  EXPECT_EQ(model().file_list[5], long_path);  // arrives whole
  EXPECT_EQ(model().Line(5), long_name);
  h.loop.Drain();
  EXPECT_GT(h.dir.Read("temp.tmp").size(), long_path.size());
}

TEST(FolderScanTest, ReportsWhetherTheFolderCouldBeEnumerated) {
  testing::TempDir dir;
  std::string file = dir.Write("a.mp3", "");
  PlaylistModel model;
  EXPECT_FALSE(FolderScan(model, false).Scan(file));
  EXPECT_FALSE(FolderScan(model, false).Scan(dir.File("missing")));
  EXPECT_TRUE(FolderScan(model, true).Scan(dir.File("")));
  EXPECT_EQ(model.file_list.ToVector(), Lines{dir.path() + "/a.mp3"});
}

}  // namespace
}  // namespace kivo

namespace kivo {
namespace {

TEST(ScanProgressTest, ALargeTreeReportsProgressAndEndsIt) {
  testing::PlayerHarness h;
  h.Start();
  for (int i = 0; i < 100; ++i) {
    h.dir.Write("big/" + std::to_string(i) + ".mp3", "");
  }
  h.dialogs.folder_answers.push_back(h.dir.File("big"));
  h.player->MenuItemClicked("AddDirectory");
  EXPECT_EQ(h.player->state().playlist.Count(), 100);
  ASSERT_GE(h.dialogs.progress.size(), 2u);
  EXPECT_EQ(h.dialogs.progress.front().done, 32);
  EXPECT_EQ(h.dialogs.progress.back().done, -1);
}

TEST(ScanProgressTest, ASmallFolderShowsNone) {
  testing::PlayerHarness h;
  h.Start();
  h.dir.Write("small/a.mp3", "");
  h.dialogs.folder_answers.push_back(h.dir.File("small"));
  h.player->MenuItemClicked("AddDirectory");
  EXPECT_TRUE(h.dialogs.progress.empty());
}

}  // namespace
}  // namespace kivo
