#include "game/game_clock.h"

#include <gtest/gtest.h>

#include <climits>

#include "platform/clock.h"

namespace {

class GameClockTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ClockUseFixedStep(20);
    g_GameTime = 0;
    g_GameTimePaused = 0;
  }
  void TearDown() override {
    ClockUseRealTime();
    g_GameTime = 0;
    g_GameTimePaused = 0;
  }
};

}  // namespace

TEST_F(GameClockTest, TheMillisecondClockWrappingPastTwoToThe32AddsTheSmallDelta) {
  ClockSetTime(0xFFFFFF00u);
  ResetGameTimeBase();
  g_GameTime = 1000;
  ClockSetTime(0x00000100u);
  UpdateGameTime();
  EXPECT_EQ(GetGameTime(), 1000 + 0x200);
  EXPECT_EQ(g_RealTimeBase, 0x100u);
}

TEST_F(GameClockTest, PausedTimeIsDroppedAndResumedTimeCounts) {
  ClockSetTime(50000);
  ResetGameTimeBase();
  Sleep(40);
  UpdateGameTime();
  const int before = GetGameTime();
  EXPECT_EQ(before, 40);
  SetGameTimePaused(TRUE);
  Sleep(5000);
  UpdateGameTime();
  EXPECT_EQ(GetGameTime(), before);
  SetGameTimePaused(FALSE);
  Sleep(30);
  UpdateGameTime();
  EXPECT_EQ(GetGameTime(), before + 30);
}

TEST_F(GameClockTest, GameTimeItselfWrapsWithoutOverflow) {
  ClockSetTime(1000);
  ResetGameTimeBase();
  g_GameTime = INT_MAX - 5;
  Sleep(10);
  UpdateGameTime();
  EXPECT_EQ(GetGameTime(), INT_MIN + 4);
  EXPECT_EQ(GameTimeSince(INT_MAX - 5), 10);
  EXPECT_EQ(GameTimeAdd(INT_MAX, 1), INT_MIN);
  struct Case {
    int32_t stamp, now, since;
  } cases[] = {{100, 350, 250}, {350, 100, -250}, {INT_MAX, INT_MIN, 1}, {-5, 5, 10}};
  for (const Case& c : cases) EXPECT_EQ(GameTimeSince(c.stamp, c.now), c.since) << c.stamp << " " << c.now;
}
