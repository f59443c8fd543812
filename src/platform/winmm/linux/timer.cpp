#include <cerrno>
#include <ctime>
#include <map>

#include "platform/winmm/system_timer.h"
#include "platform/winmm/timer.h"

namespace platform {
namespace {

// Outstanding timeBeginPeriod calls per period.
std::map<UINT, unsigned>& OpenPeriods() {
  static std::map<UINT, unsigned> periods;
  return periods;
}

}  // namespace

DWORD SystemMilliseconds() {
  timespec now{};
  ::clock_gettime(CLOCK_MONOTONIC, &now);
  // Truncation to 32 bits is the wrap the callers expect.
  const auto ms = static_cast<std::uint64_t>(now.tv_sec) * 1000u +
                  static_cast<std::uint64_t>(now.tv_nsec) / 1000000u;
  return static_cast<DWORD>(ms);
}

void SystemSleep(DWORD milliseconds) {
  timespec remaining{static_cast<time_t>(milliseconds / 1000),
                     static_cast<long>(milliseconds % 1000) * 1000000L};
  // A signal cuts nanosleep short; the rest is slept after it.
  while (::nanosleep(&remaining, &remaining) != 0 && errno == EINTR) {
  }
}

MMRESULT timeBeginPeriod(UINT period) {
  if (period == 0) return TIMERR_NOCANDO;
  ++OpenPeriods()[period];
  return TIMERR_NOERROR;
}

MMRESULT timeEndPeriod(UINT period) {
  auto& periods = OpenPeriods();
  const auto found = periods.find(period);
  if (found == periods.end()) return TIMERR_NOCANDO;
  if (--found->second == 0) periods.erase(found);
  return TIMERR_NOERROR;
}

}  // namespace platform
