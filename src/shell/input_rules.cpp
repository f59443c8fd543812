#include "shell/input_rules.h"

namespace shell {

MouseVerdict MouseRule::Move(int x, int y) {
  if (startX_ == -1 && startY_ == -1) {
    startX_ = x;
    startY_ = y;
    return MouseVerdict::kRecorded;
  }
  if (x >= startX_ - kMouseTolerance && x <= startX_ + kMouseTolerance &&
      y >= startY_ - kMouseTolerance && y <= startY_ + kMouseTolerance) {
    return MouseVerdict::kIgnored;
  }
  return MouseVerdict::kClose;
}

SysCommandAnswer WMSysCommand(std::uint32_t command, std::intptr_t& result) {
  if (command == kScreenSaveCommand) {
    result = 1;
    return SysCommandAnswer::kHandled;
  }
  return SysCommandAnswer::kDefault;
}

}  // namespace shell
