#include "platform/winmm/timer.h"

#include <stdexcept>

#include "platform/winmm/system_timer.h"

namespace platform {
namespace {

TestClock* installedClock = nullptr;

}  // namespace

DWORD timeGetTime() { return installedClock ? installedClock->Now() : SystemMilliseconds(); }

void Sleep(DWORD milliseconds) {
  if (installedClock) {
    installedClock->Advance(milliseconds);
    return;
  }
  SystemSleep(milliseconds);
}

TestClock::TestClock(DWORD start) : now_(start) {
  if (installedClock) throw std::logic_error("a test clock is already installed");
  installedClock = this;
}

TestClock::~TestClock() { installedClock = nullptr; }

}  // namespace platform
