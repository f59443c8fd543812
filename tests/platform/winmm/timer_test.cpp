#include "platform/winmm/timer.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace platform {
namespace {

TEST(TestClock, DrivesTimeGetTimeAndSleepWithoutWaiting) {
  TestClock clock(5000);
  EXPECT_EQ(timeGetTime(), 5000u);
  Sleep(97);
  EXPECT_EQ(timeGetTime(), 5097u);
  clock.Advance(3);
  EXPECT_EQ(timeGetTime(), 5100u);
  clock.Set(42);
  EXPECT_EQ(timeGetTime(), 42u);
}

TEST(TestClock, WrapsAt32BitsLikeTheRealCount) {
  TestClock clock(0xFFFFFF00u);
  Sleep(0x180);
  EXPECT_EQ(timeGetTime(), 0x80u);
  // What callers rely on: the difference across the wrap is still the elapsed time.
  EXPECT_EQ(timeGetTime() - 0xFFFFFF00u, 0x180u);
}

TEST(TestClock, OnlyOneAtATimeAndTheRealClockReturnsAfterIt) {
  {
    TestClock clock(7);
    EXPECT_THROW(TestClock second(8), std::logic_error);
    EXPECT_EQ(timeGetTime(), 7u);  // the failed second one did not uninstall the first
  }
  const DWORD before = timeGetTime();
  Sleep(20);
  const DWORD elapsed = timeGetTime() - before;
  // A lower bound only: the real Sleep suspends for at least the time asked.
  EXPECT_GE(elapsed, 20u);
  EXPECT_LT(elapsed, 0x80000000u);
}

TEST(TimerPeriod, BeginsAndEndsArePairedPerPeriod) {
  EXPECT_EQ(timeBeginPeriod(0), TIMERR_NOCANDO);
  EXPECT_EQ(timeEndPeriod(3), TIMERR_NOCANDO);
  EXPECT_EQ(timeBeginPeriod(1), TIMERR_NOERROR);
  EXPECT_EQ(timeBeginPeriod(1), TIMERR_NOERROR);
  EXPECT_EQ(timeEndPeriod(2), TIMERR_NOCANDO);
  EXPECT_EQ(timeEndPeriod(1), TIMERR_NOERROR);
  EXPECT_EQ(timeEndPeriod(1), TIMERR_NOERROR);
  EXPECT_EQ(timeEndPeriod(1), TIMERR_NOCANDO);
}

}  // namespace
}  // namespace platform
