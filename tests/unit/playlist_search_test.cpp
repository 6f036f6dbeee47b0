#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/playlist/search_window.h"
#include "fakes/player_harness.h"

namespace kivo {
namespace {

using testing::FakeSearchView;
using testing::PlayerHarness;
using Lines = std::vector<std::string>;

struct SearchTest : ::testing::Test {
  SearchTest() {
    h.Start();
    paths = h.AddEntries({"Intro.mp3", "Beat It.mp3", "Intro (Live).mp3",
                          "BEATS.mp3", "Be at home.mp3"});
  }
  PlaylistModel& model() { return h.player->state().playlist; }
  // Opens the window from the menu and runs script while it is modal.
  void Open(std::function<void(FakeSearchView&)> script) {
    h.search_windows.script = std::move(script);
    h.player->MenuItemClicked("Search1");
    h.loop.Drain();
  }
  PlayerHarness h;
  Lines paths;
};

TEST_F(SearchTest, TypingNarrowsByCaseBlindSubstring) {
  Open([&](FakeSearchView& view) {
    EXPECT_EQ(view.caption, "Search");
    EXPECT_EQ(view.results, LinesOf(model()));
    EXPECT_EQ(view.selected, 0);
    view.events->EditChange("beat");
    EXPECT_EQ(view.results, (Lines{"Beat It", "BEATS"}));
    EXPECT_EQ(view.selected, 0);
    view.events->EditChange("");
    EXPECT_EQ(view.results.size(), 5u);
  });
  EXPECT_EQ(h.search_windows.created, 1);
  EXPECT_EQ(h.player->state().search_window, nullptr);
}

TEST_F(SearchTest, TheKeyboardKeepsSearchIndexWithinTheResults) {
  Open([&](FakeSearchView& view) {
    SearchEvents& events = *view.events;
    EXPECT_TRUE(events.EditKeyDown(vk::kUp));
    EXPECT_EQ(view.selected, 0);
    for (int i = 0; i < 6; ++i) events.EditKeyDown(vk::kDown);
    EXPECT_EQ(view.selected, 4);  // Down at the end stays there
    events.EditChange("intro");   // fewer results than SearchIndex + 1
    EXPECT_EQ(view.selected, -1);
    EXPECT_FALSE(events.EditKeyDown(vk::kReturn));
    EXPECT_FALSE(view.closed);
    EXPECT_EQ(model().playing_index, -1);
    for (int i = 0; i < 3; ++i) events.EditKeyDown(vk::kUp);
    EXPECT_EQ(view.selected, 1);
    events.EditKeyDown(vk::kReturn);
    EXPECT_TRUE(view.closed);
  });
  EXPECT_EQ(model().playing_index, 2);
  EXPECT_EQ(h.window.selected, 2);
  EXPECT_EQ(
      h.audio.ChannelCopy(h.player->state().playback.current_channel).location,
      paths[2]);
}

TEST_F(SearchTest, APickPlaysExactlyItsOwnLine) {
  Open([&](FakeSearchView& view) {
    view.events->EditChange("intro");
    ASSERT_EQ(view.results, (Lines{"Intro", "Intro (Live)"}));
    view.events->ListDoubleClick();
  });
  EXPECT_EQ(model().playing_index, 0);
}

TEST_F(SearchTest, InsertQueuesThePickedLineOnlyAndEscCloses) {
  Open([&](FakeSearchView& view) {
    view.events->EditChange("intro");
    view.events->EditKeyDown(vk::kInsert);
    EXPECT_EQ(model().Line(0), "1 > Intro");
    EXPECT_EQ(model().Line(2), "Intro (Live)");
    EXPECT_EQ(view.results[0], "Intro");  // not refreshed
    view.events->EditKeyDown(vk::kDown);
    view.events->EditKeyDown(vk::kInsert);
    EXPECT_EQ(model().Line(2), "2 > Intro (Live)");
    view.events->ListKeyDown(vk::kEscape);
    EXPECT_TRUE(view.closed);
  });
  EXPECT_EQ(h.player->state().queue_list, (Lines{paths[0], paths[2]}));
  EXPECT_EQ(model().playing_index, -1);
}

TEST_F(SearchTest, PositionIsRememberedAndOnlyOneWindowOpens) {
  Open([&](FakeSearchView& view) {
    EXPECT_EQ(view.left, 0);
    EXPECT_EQ(view.top, 0);
    EXPECT_FALSE(h.player->OpenSearchWindow());
    view.left = 320;
    view.top = 77;
  });
  EXPECT_EQ(h.Setting("Search.Position", "Left"), "320");
  EXPECT_EQ(h.search_windows.created, 1);
  Open([&](FakeSearchView& view) {
    EXPECT_EQ(view.left, 320);
    EXPECT_EQ(view.top, 77);
  });
  EXPECT_EQ(h.search_windows.created, 2);
}

TEST(SearchMatchTest, OnlyAsciiLettersFoldCase) {
  Lines lines = {"\xC3\x84rger", "\xC3\xA4rger", "ABC"};
  EXPECT_EQ(MatchingLines(lines, "\xC3\xA4"), (std::vector<int>{1}));
  EXPECT_EQ(MatchingLines(lines, "b"), (std::vector<int>{2}));
  EXPECT_EQ(MatchingLines(lines, ""), (std::vector<int>{0, 1, 2}));
}

// A name in Latin-1 is shown as "Café" (not valid UTF-8, shown as CP1252); what
// the user types is UTF-8.
TEST_F(SearchTest, ALatin1LineMatchesWhatItShows) {
  const std::string latin1_path = h.AddFile("Caf\xE9 del Mar.mp3");
  model().AppendEntry(latin1_path, "Caf\xE9 del Mar", true);
  Open([&](FakeSearchView& view) {
    view.events->EditChange("caf\xC3\xA9");
    ASSERT_EQ(view.results.size(), 1u);
    EXPECT_EQ(view.results[0], "Caf\xE9 del Mar");
    view.events->EditKeyDown(vk::kReturn);
  });
  EXPECT_EQ(model().playing_index, 5);
  EXPECT_EQ(MatchingLines({"\x80uro", "A\x9Fnd"}, "\xE2\x82\xAC"),
            (std::vector<int>{0}));
}

}  // namespace
}  // namespace kivo
