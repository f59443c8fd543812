// Milliseconds, the timer resolution and Sleep, with a test clock that replaces the real
// one process-wide.
//
// User-interface thread only, like every caller: the test clock is not synchronised.
#pragma once

#include "platform/winmm/winmm_types.h"

namespace platform {

// Milliseconds of a monotonic clock as an unsigned 32-bit count; it wraps to 0 after
// 2^32 ms (about 49.7 days), so callers compare differences, not values.
DWORD timeGetTime();

// Requests a timer resolution of `period` ms until the matching timeEndPeriod; 0 gives
// TIMERR_NOCANDO. Linux timers are already finer than 1 ms, so there nothing is reprogrammed;
// the calls are counted so that an end without its begin is reported.
MMRESULT timeBeginPeriod(UINT period);
// TIMERR_NOCANDO for a period that has no outstanding timeBeginPeriod.
MMRESULT timeEndPeriod(UINT period);

// Suspends the thread for `milliseconds`; under a test clock it advances that clock and
// returns at once.
void Sleep(DWORD milliseconds);

// While an object of this class lives, timeGetTime reads it and Sleep advances it. One at
// a time: constructing a second throws std::logic_error.
class TestClock {
 public:
  explicit TestClock(DWORD start);
  ~TestClock();
  TestClock(const TestClock&) = delete;
  TestClock& operator=(const TestClock&) = delete;

  DWORD Now() const { return now_; }
  void Set(DWORD now) { now_ = now; }
  // Wraps like the real clock.
  void Advance(DWORD milliseconds) { now_ += milliseconds; }

 private:
  DWORD now_;
};

}  // namespace platform
