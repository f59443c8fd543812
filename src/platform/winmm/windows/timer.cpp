// Captured before the system header turns the names into macros of its own.
#include "platform/winmm/timer.h"
#include "platform/winmm/system_timer.h"
#include "platform/winmm/winmm_types.h"

namespace {
constexpr platform::MMRESULT kOurNoCanDo = platform::TIMERR_NOCANDO;
}  // namespace

#include <windows.h>
// After windows.h, whose types it uses.
#include <mmsystem.h>

static_assert(kOurNoCanDo == TIMERR_NOCANDO);

namespace platform {

DWORD SystemMilliseconds() { return ::timeGetTime(); }

void SystemSleep(DWORD milliseconds) { ::Sleep(milliseconds); }

MMRESULT timeBeginPeriod(UINT period) { return ::timeBeginPeriod(period); }

MMRESULT timeEndPeriod(UINT period) { return ::timeEndPeriod(period); }

}  // namespace platform
