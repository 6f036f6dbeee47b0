#include "core/playlist/location_list.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

namespace kivo {
namespace {

// Locations of every shape a playlist holds: empty lines, bytes that are no
// text, a NUL inside, long and short.
std::string LocationNumber(std::mt19937& random, int n) {
  switch (random() % 5) {
    case 0:
      return std::string();
    case 1:
      return std::string("/a\0b/", 5) + std::to_string(n);
    case 2:
      return std::string(300 + random() % 5000, 'x') + std::to_string(n);
    case 3:
      return "\xff\xfe caf\xe9 " + std::to_string(n);
    default:
      return "/music/Album/" + std::to_string(n) + " Track.mp3";
  }
}

// Edits a list the way a playlist is edited (adds at the end, removals and
// drags anywhere, including both ends) and keeps a vector of strings in
// step: the two must always hold the same locations in the same order.
TEST(LocationListTest, HoldsWhatAVectorOfStringsWouldThroughAnyEdits) {
  std::mt19937 random(7);
  LocationList list;
  std::vector<std::string> expected;
  for (int step = 0; step < 3000; ++step) {
    const size_t count = expected.size();
    const unsigned kind = random() % 10;
    if (count < 2 || kind < 4) {
      std::string location = LocationNumber(random, step);
      list.push_back(location);
      expected.push_back(location);
    } else if (kind < 6) {
      const size_t index = kind == 4 ? random() % count : count - 1;
      list.erase(index);
      expected.erase(expected.begin() + static_cast<long>(index));
    } else {
      const size_t from = kind == 6 ? 0 : random() % count;
      const size_t to = kind == 7 ? count - 1 : random() % count;
      list.move(from, to);
      std::string moved = expected[from];
      expected.erase(expected.begin() + static_cast<long>(from));
      expected.insert(expected.begin() + static_cast<long>(to), moved);
    }
    ASSERT_EQ(list.size(), expected.size()) << "step " << step;
    if (step % 50 == 0 || step > 2950) {
      ASSERT_EQ(list.ToVector(), expected) << "step " << step;
    }
  }
  list.clear();
  EXPECT_TRUE(list.empty());
  list.push_back("/after/clear.mp3");
  EXPECT_EQ(list.back(), "/after/clear.mp3");
}

TEST(LocationListTest, AReservedListTakesItsLocationsWhole) {
  LocationList list;
  const std::string huge(50 << 20, 'a');
  list.reserve(3, huge.size() + 2);
  list.push_back("b");
  list.push_back(huge);
  list.push_back("c");
  EXPECT_EQ(list[0], "b");
  EXPECT_EQ(list[1].size(), huge.size());
  EXPECT_EQ(list[2], "c");
  EXPECT_EQ(std::find(list.begin(), list.end(), "c") - list.begin(), 2);
}

}  // namespace
}  // namespace kivo
