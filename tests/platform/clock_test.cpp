#include "platform/clock.h"

#include <gtest/gtest.h>

#include <chrono>

class FixedStepClock : public ::testing::Test {
 protected:
  void TearDown() override {
    ClockSetPaced(false);
    ClockUseRealTime();
  }
};

TEST_F(FixedStepClock, AdvancesOnlyAtFrameEndsAndMainThreadSleeps) {
  ClockUseFixedStep(20);
  ClockSetTime(1000);
  EXPECT_EQ(timeGetTime(), 1000u);
  EXPECT_EQ(timeGetTime(), 1000u);
  ClockEndFrame();
  EXPECT_EQ(timeGetTime(), 1020u);
  Sleep(5);
  EXPECT_EQ(timeGetTime(), 1025u);
  int64_t counter = 0, frequency = 0;
  ASSERT_TRUE(QueryPerformanceFrequency(&frequency));
  ASSERT_TRUE(QueryPerformanceCounter(&counter));
  EXPECT_EQ(counter, 1025 * frequency / 1000);
}

TEST_F(FixedStepClock, WrapsPastTheTopOfThe32BitRange) {
  ClockUseFixedStep(16);
  ClockSetTime(0xFFFFFFF8u);
  const DWORD before = timeGetTime();
  ClockEndFrame();
  const DWORD after = timeGetTime();
  EXPECT_EQ(after, 8u);
  EXPECT_EQ(static_cast<DWORD>(after - before), 16u);
}

TEST_F(FixedStepClock, SpinningOnTheClockStillEnds) {
  ClockUseFixedStep(10);
  ClockSetTime(500);
  const DWORD start = timeGetTime();
  long reads = 0;
  while (timeGetTime() - start < 3 && reads < 10'000'000) ++reads;
  EXPECT_GE(timeGetTime() - start, 3u);
}

// Paced, the frames still step the virtual clock exactly, and each lasts at
// least its step of real time (only the lower bound is certain).
TEST_F(FixedStepClock, PacedFramesTakeTheirStepOfRealTime) {
  ClockUseFixedStep(10);
  ClockSetTime(2000);
  ClockSetPaced(true);
  const auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < 5; ++i) ClockEndFrame();
  const auto spent = std::chrono::steady_clock::now() - start;
  EXPECT_EQ(timeGetTime(), 2050u);
  EXPECT_GE(spent, std::chrono::milliseconds(40));  // the first frame starts the schedule
}

TEST(RealClock, StartsFarFromZeroAndIsMonotonic) {
  ClockUseRealTime();
  const DWORD a = timeGetTime();
  const DWORD b = timeGetTime();
  EXPECT_NE(a, 0u);
  EXPECT_LE(static_cast<DWORD>(b - a), 1000u);
  int64_t c1 = 0, c2 = 0;
  QueryPerformanceCounter(&c1);
  QueryPerformanceCounter(&c2);
  EXPECT_LE(c1, c2);
}
