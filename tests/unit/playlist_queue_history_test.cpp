#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/playlist/queue.h"
#include "fakes/player_harness.h"

namespace kivo {
namespace {

using testing::PlayerHarness;
using Lines = std::vector<std::string>;

struct QueueTest : ::testing::Test {
  QueueTest() : queue(model, queue_list) {
    for (int i = 0; i < 8; ++i) {
      std::string location = "/m/t" + std::to_string(i) + ".mp3";
      model.AppendEntry(location, "t" + std::to_string(i), true);
    }
  }
  PlaylistModel model;
  Lines queue_list;
  Queue queue;
};

TEST_F(QueueTest, QueuedLinesCarryTheirPositionAndPopRenumbers) {
  for (int index : {5, 2, 7}) queue.QueueToggle(index);
  EXPECT_EQ(model.Line(5), "1 > t5");
  EXPECT_EQ(model.Line(2), "2 > t2");
  EXPECT_EQ(model.Line(7), "3 > t7");
  EXPECT_EQ(queue.PopQueue(), 5);
  EXPECT_EQ(model.Line(2), "1 > t2");
  EXPECT_EQ(model.Line(7), "2 > t7");
  EXPECT_EQ(queue_list, (Lines{"/m/t2.mp3", "/m/t7.mp3"}));
}

TEST_F(QueueTest, TogglingOffAndADirectStartLeaveTheQueue) {
  for (int index : {1, 3, 4}) queue.QueueToggle(index);
  queue.QueueToggle(1);
  EXPECT_EQ(model.Line(1), "t1");
  EXPECT_EQ(model.Line(3), "1 > t3");
  EXPECT_EQ(model.Line(4), "2 > t4");
  model.playing_index = 3;  // started by a double click
  queue.UnqueueStarted();
  EXPECT_EQ(model.Line(4), "1 > t4");
  EXPECT_EQ(queue_list, Lines{"/m/t4.mp3"});
  queue.UnqueueStarted();  // not queued any more: nothing changes
  EXPECT_EQ(queue_list, Lines{"/m/t4.mp3"});
}

TEST_F(QueueTest, ThePlayingEntryAndNoLineCannotBeQueued) {
  model.playing_index = 2;
  queue.QueueToggle(2);
  queue.QueueToggle(-1);
  queue.QueueToggle(99);
  EXPECT_TRUE(queue_list.empty());
  EXPECT_EQ(queue.PopQueue(), -1);
}

TEST_F(QueueTest, AStreamKeepsItsTextUntilRenumberedAndGoneEntriesPopAsNone) {
  model.AppendEntry("http://radio/live.mp3", "[S] http://radio/live.mp3",
                    false);
  queue.QueueToggle(0);
  queue.QueueToggle(8);
  EXPECT_EQ(model.Line(8), "2 > [S] http://radio/live.mp3");
  // A queued location matches its entry without regard to case.
  EXPECT_TRUE(queue.Contains("HTTP://RADIO/live.mp3"));
  model.RemoveEntryAt(0);
  EXPECT_EQ(queue.PopQueue(), -1);
  EXPECT_EQ(model.Line(7), "1 > live");
}

struct HistoryTest : ::testing::Test {
  HistoryTest() { h.Start(); }
  std::string MakeList(const std::string& name) {
    return h.dir.Write(name, h.AddFile(name + ".mp3") + "\r\n");
  }
  void Load(const std::string& path) {
    h.dialogs.open_answers.push_back({path});
    h.player->MenuItemClicked("LoadPlaylist");
  }
  Lines Captions() {
    Lines captions;
    for (auto& item : h.player->context().menus.Item("History1").children) {
      captions.push_back(item->caption);
    }
    return captions;
  }
  const MenuItem& Child(size_t i) {
    return *h.player->context().menus.Item("History1").children.at(i);
  }
  PlayerHarness h;
};

TEST_F(HistoryTest, SixLoadsShowTheFiveNewestAndSurviveARestart) {
  Lines lists;
  for (int i = 1; i <= 6; ++i) {
    lists.push_back(MakeList("l" + std::to_string(i) + ".kpp"));
    Load(lists.back());
  }
  Load(lists[3]);  // the same file again: still one item, now the newest
  Lines expected = {"1. " + lists[3], "2. " + lists[5], "3. " + lists[4],
                    "4. " + lists[2], "5. " + lists[1], "-",
                    "Clear History"};
  EXPECT_EQ(Captions(), expected);
  EXPECT_EQ(h.player->state().history_list.size(), 6u);
  EXPECT_EQ(h.Setting("History", "1"), lists[3]);
  EXPECT_EQ(h.Setting("History", "5"), lists[1]);

  h.Restart();
  h.Start();
  EXPECT_EQ(Captions(), expected);
  Load(lists[0]);
  EXPECT_EQ(Captions()[0], "1. " + lists[0]);
  EXPECT_EQ(Captions()[1], "2. " + lists[3]);
  EXPECT_EQ(Captions()[4], "5. " + lists[2]);
}

// Delete, Queue and Enter act on the selected line: after a new list the old
// selection would name a line the user never picked.
TEST_F(HistoryTest, LoadsHistoryLoadsAndNewPlaylistClearTheSelection) {
  h.AddEntries({"x.mp3", "y.mp3"});
  std::string list = h.dir.Write(
      "two.kpp", h.AddFile("p.mp3") + "\r\n" + h.AddFile("q.mp3") + "\r\n");
  h.window.SelectLine(1);
  Load(list);
  EXPECT_EQ(h.window.SelectedLine(), -1);
  h.window.SelectLine(0);
  h.player->MenuItemClicked(Child(0).name);
  EXPECT_EQ(h.player->state().playlist.Count(), 2);
  EXPECT_EQ(h.window.SelectedLine(), -1);
  h.window.SelectLine(1);
  h.player->MenuItemClicked("Clear");
  EXPECT_EQ(h.window.SelectedLine(), -1);
}

TEST_F(HistoryTest, AnAmpersandShowsOnceAndOpensTheRightFile) {
  std::string list = MakeList("rock&roll.kpp");
  std::string other = MakeList("other.kpp");
  Load(list);
  Load(other);
  EXPECT_EQ(Child(1).caption, "2. " + h.dir.path() + "rock&&roll.kpp");
  h.player->MenuItemClicked(Child(1).name);
  EXPECT_EQ(LinesOf(h.player->state().playlist), Lines{"rock&roll.kpp"});
  EXPECT_EQ(Child(0).caption, "1. " + h.dir.path() + "rock&&roll.kpp");
  EXPECT_EQ(h.Setting("settings", "LastPlayed"), list);
}

TEST_F(HistoryTest, AGoneFileStillMovesUpAndIsReported) {
  std::string list = MakeList("a.kpp");
  Load(list);
  Load(MakeList("b.kpp"));
  std::remove(list.c_str());
  h.player->MenuItemClicked(Child(1).name);
  EXPECT_EQ(Child(0).caption, "1. " + list);
  ASSERT_FALSE(h.dialogs.messages.empty());
  EXPECT_EQ(h.dialogs.messages.back().text.substr(0, 16), "Cannot open file");
}

TEST_F(HistoryTest, ClearHistoryLeavesEmptyItemAfterRestart) {
  Load(MakeList("a.kpp"));
  h.player->MenuItemClicked(Child(2).name);  // "Clear History"
  EXPECT_EQ(Captions(), (Lines{"Empty", "-", "Clear History"}));
  EXPECT_FALSE(Child(0).enabled);
  h.Restart();
  h.Start();
  EXPECT_EQ(Captions(), (Lines{"Empty", "-", "Clear History"}));
  EXPECT_FALSE(Child(0).enabled);
  EXPECT_TRUE(h.player->state().history_list.empty());
}

TEST_F(HistoryTest, HistoryMenuShowsTheSubmenuAndStoresTheCheck) {
  MenuModel& menus = h.player->context().menus;
  h.player->MenuItemClicked("History2");
  EXPECT_TRUE(menus.Item("History1").visible);
  EXPECT_EQ(h.Setting("settings", "History"), "1");
  h.player->MenuItemClicked("History2");
  EXPECT_FALSE(menus.Item("History1").visible);
  EXPECT_EQ(h.Setting("settings", "History"), "0");
}

}  // namespace
}  // namespace kivo
