#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/playlist/entry_names.h"
#include "core/util/atomic_file.h"
#include "fakes/player_harness.h"

namespace kivo {
namespace {

using testing::FakeSearchView;
using testing::PlayerHarness;
using Lines = std::vector<std::string>;

// More entries than one batch of checks, so that the list is checked in
// several rounds.
constexpr int kEntries = 2500;

// A remembered playlist whose even entries exist and odd ones are missing,
// with a stream address last: a line moved by one is wrong everywhere.
struct EntryChecksTest : ::testing::Test {
  EntryChecksTest() {
    std::string kpp;
    for (int i = 0; i < kEntries; ++i) {
      std::string name = "t" + std::to_string(i) + ".mp3";
      kpp += (i % 2 == 0 ? h.AddFile(name) : h.dir.File(name)) + "\r\n";
    }
    kpp += "http://radio/live.mp3\r\n";
    h.dir.Write("temp.tmp", kpp);
    h.WriteSettings("[settings]\r\nDonationMsg=0\r\nLastPlayed=" +
                    h.dir.File("temp.tmp") + "\r\n");
    h.Restart();
  }
  PlaylistModel& model() { return h.player->state().playlist; }
  // Starts without running any worker: the checks wait.
  void StartWithChecksWaiting() {
    ASSERT_TRUE(h.player->Startup({}, h.dir.path()));
    ASSERT_GT(h.loop.waiting_workers(), 0u);
  }
  // Runs the worker that checks one batch and what it posts back.
  void RunOneBatch() {
    ASSERT_TRUE(h.loop.RunNextWorker());
    h.loop.RunPosted();
  }
  // What a user must see: the name of an existing file, "[S] " + address,
  // else "[Error] " + location.
  Lines ExpectedLines() {
    Lines expected;
    for (const std::string& location : model().file_list.ToVector()) {
      if (FileExists(location)) {
        expected.push_back(BaseTitle(location));
      } else if (IsStreamAddress(location)) {
        expected.push_back("[S] " + location);
      } else {
        expected.push_back("[Error] " + location);
      }
    }
    return expected;
  }
  PlayerHarness h;
};

TEST_F(EntryChecksTest, TheStartDoesNotWaitForTheFilesAndEveryLineEndsRight) {
  StartWithChecksWaiting();
  ASSERT_EQ(model().Count(), kEntries + 1);
  // Until its file is checked a line shows the name, as most files exist.
  EXPECT_EQ(model().Line(1), "t1");
  EXPECT_EQ(model().Line(kEntries), "[S] http://radio/live.mp3");
  const int repaints = h.window.playlist_changes;
  // The lines are fixed batch by batch, from the top.
  for (int round = 0; round < 3 && model().Line(1) == "t1"; ++round) {
    RunOneBatch();
  }
  EXPECT_EQ(model().Line(1), "[Error] " + h.dir.File("t1.mp3"));
  EXPECT_EQ(model().Line(kEntries - 1), "t2499");  // not yet checked
  EXPECT_GT(h.window.playlist_changes, repaints);
  h.loop.Drain();
  EXPECT_EQ(LinesOf(model()), ExpectedLines());
}

TEST_F(EntryChecksTest, AStartLooksAtEachFileOnce) {
  StartWithChecksWaiting();
  int batches = 0;
  while (h.loop.waiting_workers() > 0) {
    RunOneBatch();
    ++batches;
  }
  EXPECT_EQ(batches, 2) << "2,501 entries, 2,048 to a batch";
  EXPECT_EQ(LinesOf(model()), ExpectedLines());
}

TEST_F(EntryChecksTest, AnswersForAListThatChangedMeanwhileAreNotApplied) {
  StartWithChecksWaiting();
  h.window.selected = 0;
  h.player->MenuItemClicked("Remove");  // every entry moves up by one
  RunOneBatch();
  EXPECT_EQ(model().Line(0), "t1");  // still unchecked, not taken as t0
  h.window.selected = 10;
  h.player->PlaylistDragOver(3);
  h.loop.Drain();
  EXPECT_EQ(LinesOf(model()), ExpectedLines());
}

TEST_F(EntryChecksTest, ALoadOrANewListWhileChecksRunKeepsItsOwnLines) {
  StartWithChecksWaiting();
  std::string existing = h.AddFile("Kept.mp3");
  // The other way round from the remembered list's first two entries.
  h.dir.Write("other.kpp", h.dir.File("gone.mp3") + "\r\n" + existing + "\r\n");
  h.dialogs.open_answers.push_back({h.dir.File("other.kpp")});
  h.player->MenuItemClicked("LoadPlaylist");
  RunOneBatch();  // the remembered list's first answers arrive late
  h.loop.Drain();
  EXPECT_EQ(LinesOf(model()),
            (Lines{"[Error] " + h.dir.File("gone.mp3"), "Kept"}));

  h.Restart();
  StartWithChecksWaiting();
  h.player->MenuItemClicked("Clear");
  h.AddEntries({"a.mp3", "b.mp3"});
  h.loop.Drain();
  EXPECT_EQ(LinesOf(model()), (Lines{"a", "b"}));
}

TEST_F(EntryChecksTest, ALineGivenAnotherTextWhileUncheckedKeepsIt) {
  StartWithChecksWaiting();
  h.window.selected = 1;
  h.player->MenuItemClicked("Queue1");
  h.loop.Drain();
  EXPECT_EQ(model().Line(1).substr(0, 4), "1 > ");
}

TEST_F(EntryChecksTest, TheSearchWindowFindsTheLinesAsTheyEndWhileChecksRun) {
  StartWithChecksWaiting();
  RunOneBatch();  // the rest is still on its way
  h.search_windows.script = [&](FakeSearchView& view) {
    view.events->EditChange("t2499.mp3");  // only the "[Error] " form holds it
    EXPECT_EQ(view.results, Lines{"[Error] " + h.dir.File("t2499.mp3")});
  };
  h.player->MenuItemClicked("Search1");
  h.loop.Drain();
  EXPECT_EQ(LinesOf(model()), ExpectedLines());
}

}  // namespace
}  // namespace kivo
