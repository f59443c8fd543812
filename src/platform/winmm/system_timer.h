// What each system's backend gives the shared timer: its own clock and its own sleep.
// timeGetTime and Sleep (timer.cpp) put the test clock in front of them.
#pragma once

#include "platform/winmm/winmm_types.h"

namespace platform {

// Milliseconds of the system's monotonic clock, wrapping at 2^32.
DWORD SystemMilliseconds();
// Suspends the thread for `milliseconds` of real time.
void SystemSleep(DWORD milliseconds);

}  // namespace platform
