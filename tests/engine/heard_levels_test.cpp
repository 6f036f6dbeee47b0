// The level meter reads what reaches the speaker: a buffer mixed now is heard
// after the one the device still holds.
#include "engine/heard_levels.h"

#include <gtest/gtest.h>

namespace kivo::engine {
namespace {

using std::chrono::milliseconds;

constexpr uint32_t kRate = 1000;  // one frame a millisecond
constexpr size_t kBufferFrames = 100;
constexpr uint32_t kQuiet = 10;
constexpr uint32_t kLoud = 30000;

class HeardLevelsTest : public ::testing::Test {
 protected:
  void SetUp() override { levels_.Configure(kRate, 50); }

  // One device buffer: two slices of 50 frames with these levels.
  void Mix(HeardLevels::Clock::time_point at, uint32_t first, uint32_t second) {
    levels_.BeginBuffer(kBufferFrames, at);
    levels_.AddSlice(first);
    levels_.AddSlice(second);
  }

  HeardLevels levels_;
  HeardLevels::Clock::time_point start_ = HeardLevels::Clock::now();
};

TEST_F(HeardLevelsTest, ABufferMixedNowIsShownOnlyOnceTheDeviceReachesIt) {
  Mix(start_, kQuiet, kQuiet);
  Mix(start_ + milliseconds(100), kLoud, kQuiet);
  // The device still plays the quiet buffer.
  EXPECT_EQ(levels_.At(start_ + milliseconds(110)), kQuiet);
  EXPECT_EQ(levels_.At(start_ + milliseconds(190)), kQuiet);
  // Then the loud slice, then the quiet one after it.
  EXPECT_EQ(levels_.At(start_ + milliseconds(210)), kLoud);
  EXPECT_EQ(levels_.At(start_ + milliseconds(260)), kQuiet);
}

TEST_F(HeardLevelsTest, ALateCallbackKeepsTheLastSliceAndAClearShowsNothing) {
  EXPECT_EQ(levels_.At(start_), 0u);
  Mix(start_, kQuiet, kLoud);
  EXPECT_EQ(levels_.At(start_ + milliseconds(900)), kLoud);
  levels_.Clear();
  EXPECT_EQ(levels_.At(start_ + milliseconds(900)), 0u);
}

}  // namespace
}  // namespace kivo::engine
