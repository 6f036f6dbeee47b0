#include <gtest/gtest.h>

#include <deque>
#include <random>
#include <set>

#include "playback_fixture.h"

namespace kivo {
namespace {

using testing::PlaybackFixture;

// Draws scripted positions; records every range asked for.
struct ScriptedRandom {
  std::deque<int> picks;
  std::vector<std::pair<int, int>> ranges;
  RandomInt Source() {
    return [this](int low, int high) {
      ranges.emplace_back(low, high);
      int pick = picks.empty() ? low : picks.front();
      if (!picks.empty()) picks.pop_front();
      return pick;
    };
  }
};

struct ShuffleFixture : PlaybackFixture {
  ShuffleFixture() { playback().SetPlayMode(kShuffle); }
  std::string NextLocation() {
    Click("Next");
    return std::string(model().file_list[model().playing_index]);
  }
};

TEST(ShuffleTest, ACycleOfThreePlaysTheFirstLastThenStartsAgain) {
  for (uint32_t seed : {1u, 2u, 3u, 4u, 5u, 6u}) {
    ShuffleFixture f;
    std::string a = f.AddEntry("a.mp3");
    std::string b = f.AddEntry("b.mp3");
    std::string c = f.AddEntry("c.mp3");
    std::mt19937 generator(seed);
    f.playback().SetRandom([&generator](int low, int high) {
      return std::uniform_int_distribution<int>(low, high)(generator);
    });
    std::set<std::string> first_two{f.NextLocation(), f.NextLocation()};
    EXPECT_EQ(first_two, (std::set<std::string>{b, c})) << seed;
    EXPECT_EQ(f.NextLocation(), a) << seed;
    EXPECT_EQ(PoolOf(f.model()), (std::vector<std::string>{a, b, c}));
    EXPECT_NE(f.NextLocation(), a) << seed;
  }
}

TEST(ShuffleTest, TheEndOfAStreamDrawsAndSelectsTheLastEqualLine) {
  ShuffleFixture f;
  ScriptedRandom random;
  f.playback().SetRandom(random.Source());
  f.AddEntry("a.mp3");
  std::string b = f.AddEntry("b.mp3");
  f.model().AppendEntry(b, "b again", false);
  f.Play(0);
  random.picks = {1};
  f.EndOfStream();
  EXPECT_EQ(f.model().playing_index, 2);
  EXPECT_EQ(f.h.window.selected, 2);
  EXPECT_EQ(random.ranges.back(), (std::pair{1, 1}));
}

TEST(ShuffleTest, MissingFilesAndStreamsLeaveThePoolWithoutAMessage) {
  ShuffleFixture f;
  ScriptedRandom random;
  f.playback().SetRandom(random.Source());
  std::string a = f.AddEntry("a.mp3");
  f.AddMissing("gone.mp3");
  f.AddStream("http://radio/live", 0);
  std::string d = f.AddEntry("d.mp3");
  random.picks = {1, 1, 1};
  EXPECT_EQ(f.NextLocation(), d);
  EXPECT_EQ(random.ranges,
            (std::vector<std::pair<int, int>>{{1, 3}, {1, 2}, {1, 1}}));
  EXPECT_EQ(PoolOf(f.model()), (std::vector<std::string>{a}));
  EXPECT_TRUE(f.h.dialogs.messages.empty());
}

TEST(ShuffleTest, AStreamAtTheHeadOfThePoolStillPlaysLast) {
  ShuffleFixture f;
  std::string radio = f.AddStream("http://radio/live", 0);
  std::string b = f.AddEntry("b.mp3");
  EXPECT_EQ(f.NextLocation(), b);
  EXPECT_EQ(f.NextLocation(), radio);
  EXPECT_EQ(PoolOf(f.model()).size(), 2u);
}

TEST(ShuffleTest, NothingLeftToDrawPlaysTheHeadAndRefills) {
  ShuffleFixture f;
  std::string a = f.AddEntry("a.mp3");
  f.AddMissing("gone1.mp3");
  f.AddMissing("gone2.mp3");
  EXPECT_EQ(f.NextLocation(), a);
  EXPECT_EQ(PoolOf(f.model()), f.model().file_list.ToVector());

  // An emptied pool is refilled before the draw.
  ShuffleFixture g;
  g.AddEntry("a.mp3");
  std::string b = g.AddEntry("b.mp3");
  g.model().ClearPool();
  EXPECT_EQ(g.NextLocation(), b);
  EXPECT_EQ(PoolOf(g.model()).size(), 1u);
}

TEST(ShuffleTest, OneLinePlaysItselfAndModeChangesKeepTheCycle) {
  ShuffleFixture f;
  std::string a = f.AddEntry("a.mp3");
  f.model().ClearPool();
  EXPECT_EQ(f.NextLocation(), a);
  EXPECT_TRUE(PoolOf(f.model()).empty());

  f.AddEntry("b.mp3");
  std::vector<std::string> pool = PoolOf(f.model());
  f.Click("RepeatAll1");
  f.Click("Shuffle1");
  EXPECT_TRUE(f.h.player->context().menus.Checked("Shuffle2"));
  EXPECT_EQ(PoolOf(f.model()), pool);
}

}  // namespace
}  // namespace kivo
