// While a long operation shows its progress the loop runs; what arrives then
// (a hand-off, a drop, an engine's end of track) must not change the playlist
// under it. It runs once the operation's command has ended.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/app/expand_argument.h"
#include "core/playlist/kpp_format.h"
#include "core/playlist/m3u_format.h"
#include "fakes/player_harness.h"

namespace kivo {
namespace {

using testing::PlayerHarness;

struct LongOperationTest : ::testing::Test {
  LongOperationTest() { h.Start(); }
  PlaylistModel& model() { return h.player->state().playlist; }
  PlayerHarness h;
};

TEST_F(LongOperationTest, AHandOffDuringTheMeasuringOfASaveWaitsForTheSave) {
  h.LoadListOf(3000);  // one more entry moves its storage
  ASSERT_EQ(model().Count(), 3000);
  const std::string other = h.AddFile("other.mp3");
  int reports = 0;
  int count_while_measuring = 0;
  h.dialogs.while_progress = [&] {
    if (reports++ == 0) {
      h.player->HandOffReceived(BuildHandOffText({other}, "/"));
    }
    count_while_measuring = model().Count();
  };

  h.dialogs.save_answers.push_back(std::pair{h.dir.File("big.m3u"), 2});
  h.player->MenuItemClicked("SavePlaylist");

  EXPECT_GT(reports, 1);
  EXPECT_EQ(count_while_measuring, 3000);
  EXPECT_EQ(ParseM3u(h.dir.Read("big.m3u")).size(), 3000u);
  ASSERT_EQ(model().Count(), 3001);
  EXPECT_EQ(model().file_list.back(), other);
  EXPECT_EQ(model().playing_index, 3000);
  h.loop.Drain();  // the autosave is written in the background
  // The hand-off came last, so its autosave is what the next start restores.
  EXPECT_EQ(h.Setting("settings", "LastPlayed"), h.dir.File("temp.tmp"));
}

TEST_F(LongOperationTest, DropsAndPostedWorkDuringAFolderScanWaitForTheScan) {
  std::vector<std::string> playing = h.AddEntries({"x.mp3", "y.mp3"});
  model().playing_index = 0;
  h.player->playback().PlayEntry();
  h.loop.Drain();
  ASSERT_EQ(h.audio.OpenChannels().size(), 1u);
  for (int i = 0; i < 100; ++i)
    h.AddFile("album/" + std::to_string(i) + ".mp3");
  const std::string dropped = h.AddFile("dropped.ogg");
  bool dropped_once = false;
  int playing_while_scanning = -2;
  size_t count_while_scanning = 0;
  h.dialogs.while_progress = [&] {
    if (!dropped_once) {
      dropped_once = true;
      h.player->FilesDropped({dropped});
      h.audio.FireEnd(h.audio.OpenChannels()[0]);
    }
    h.loop.RunPosted();
    playing_while_scanning = model().playing_index;
    count_while_scanning = model().file_list.size();
  };

  h.dialogs.folder_answers.push_back(h.dir.File("album"));
  h.player->MenuItemClicked("AddDirectory");

  ASSERT_TRUE(dropped_once);
  EXPECT_EQ(playing_while_scanning, 0);
  EXPECT_LE(count_while_scanning, 102u);
  ASSERT_EQ(model().Count(), 103);
  EXPECT_EQ(model().file_list.back(), dropped);
  // The end of x.mp3 was taken after the scan: the next entry plays.
  h.loop.Drain();
  EXPECT_EQ(model().playing_index, 1);
  EXPECT_EQ(ParseKpp(h.dir.Read("temp.tmp")), model().file_list.ToVector());
}

TEST_F(LongOperationTest, KeptWorkThatScansKeepsWhatArrivesDuringItsScan) {
  h.AddEntries({"x.mp3"});
  for (int i = 0; i < 40; ++i) h.AddFile("first/" + std::to_string(i) + ".mp3");
  for (int i = 0; i < 40; ++i) h.AddFile("later/" + std::to_string(i) + ".mp3");
  const std::string handed = h.AddFile("handed.mp3");
  int reports = 0;
  h.dialogs.while_progress = [&] {
    // During the first scan a folder is dropped; during that drop's own scan
    // a hand-off arrives.
    if (++reports == 1) h.player->FilesDropped({h.dir.File("later")});
    if (reports == 2) {
      h.player->HandOffReceived(BuildHandOffText({handed}, "/"));
    }
  };
  h.dialogs.folder_answers.push_back(h.dir.File("first"));
  h.player->MenuItemClicked("AddDirectory");

  ASSERT_EQ(reports, 2);
  const std::vector<std::string> list = model().file_list.ToVector();
  ASSERT_EQ(list.size(), 82u);
  for (size_t i = 1; i <= 40; ++i) {
    EXPECT_EQ(list[i].rfind(h.dir.File("first/"), 0), 0u) << list[i];
    EXPECT_EQ(list[i + 40].rfind(h.dir.File("later/"), 0), 0u) << list[i + 40];
  }
  EXPECT_EQ(list.back(), handed);
  EXPECT_EQ(model().playing_index, 81);
}

}  // namespace
}  // namespace kivo
