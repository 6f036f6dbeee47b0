#include "core/playlist/playlist_model.h"

#include <gtest/gtest.h>

#include <initializer_list>

#include "core/playlist/entry_checks.h"
#include "fakes/player_harness.h"
#include "fakes/temp_dir.h"

namespace kivo {
namespace {

using testing::TempDir;

PlaylistModel ModelOf(std::initializer_list<const char*> locations) {
  PlaylistModel model;
  for (const char* location : locations) model.AppendEntry(location, "", true);
  return model;
}

TEST(PlaylistModelTest, RemovingKeepsThePlayingIndexOnItsEntry) {
  PlaylistModel model = ModelOf({"a", "b", "c", "d"});
  model.playing_index = 2;
  model.RemoveEntryAt(0);
  EXPECT_EQ(model.playing_index, 1);
  model.RemoveEntryAt(2);
  EXPECT_EQ(model.playing_index, 1);
  model.RemoveEntryAt(1);
  EXPECT_EQ(model.playing_index, -1);
  EXPECT_EQ(model.file_list.ToVector(), (std::vector<std::string>{"b"}));
  EXPECT_EQ(LinesOf(model), (std::vector<std::string>{""}));
  model.RemoveEntryAt(7);
  EXPECT_EQ(model.Count(), 1);
}

TEST(PlaylistModelTest, ThePoolKeepsItsLocationsThroughMovesAndRemovals) {
  using Locations = std::vector<std::string>;
  PlaylistModel model = ModelOf({"a", "b", "c", "d"});
  model.MoveEntry(0, 3);
  EXPECT_EQ(model.file_list.ToVector(), (Locations{"b", "c", "d", "a"}));
  EXPECT_EQ(PoolOf(model), (Locations{"a", "b", "c", "d"}));
  model.RemoveEntryAt(0);  // the pool is not kept in step
  EXPECT_EQ(PoolOf(model), (Locations{"a", "b", "c", "d"}));
  model.PoolRemoveFirst("c");
  model.PoolErase(1);
  EXPECT_EQ(PoolOf(model), (Locations{"a", "d"}));
  model.AppendEntry("e", "", true);
  model.AppendEntry("f", "", false);
  EXPECT_EQ(PoolOf(model), (Locations{"a", "d", "e"}));
  model.RefillPool();
  EXPECT_EQ(PoolOf(model), (Locations{"c", "d", "a", "e", "f"}));
  model.RemoveEntryAt(2);
  model.PoolRemoveFirst("C");  // case counts
  EXPECT_EQ(PoolOf(model), (Locations{"c", "d", "a", "e", "f"}));

  PlaylistModel twice = ModelOf({"x", "y", "x"});
  twice.RemoveEntryAt(2);
  twice.PoolRemoveFirst("x");
  EXPECT_EQ(PoolOf(twice), (Locations{"y", "x"}));
  twice.Clear();
  EXPECT_EQ(twice.PoolSize(), 0);
}

TEST(PlaylistModelTest, FindsLocationsWithoutRegardToCaseFirstMatch) {
  PlaylistModel model = ModelOf({"/m/A.mp3", "/m/a.mp3", "/m/b.mp3"});
  EXPECT_EQ(model.FindLocation("/M/a.MP3"), 0);
  EXPECT_EQ(model.FindLocation("/m/c.mp3"), -1);
}

TEST(PlaylistModelTest, RefreshGivesNameStreamOrErrorForms) {
  TempDir dir;
  std::string file = dir.Write("Song.Name.mp3", "");
  dir.Write("folder.mp3/x", "");
  PlaylistModel model =
      ModelOf({file.c_str(), "http://host/live.mp3", "ftp://h/x.ogg",
               "HTTP://host/x", (dir.path() + "folder.mp3").c_str(), ""});
  model.MarkAllUnchecked("Fehler");
  FinishEntryChecks(model);
  EXPECT_EQ(model.Line(0), "Song.Name");
  EXPECT_EQ(model.Line(1), "[S] http://host/live.mp3");
  EXPECT_EQ(model.Line(2), "[S] ftp://h/x.ogg");
  EXPECT_EQ(model.Line(3), "[Fehler] HTTP://host/x");
  EXPECT_EQ(model.Line(4), "[Fehler] " + dir.path() + "folder.mp3");
  EXPECT_EQ(model.Line(5), "[Fehler] ");
}

}  // namespace
}  // namespace kivo
