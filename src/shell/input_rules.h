// The saver's rules for ending on input, and its answer to system commands.
#pragma once

#include <cstdint>

namespace shell {

// How far the pointer may move from the first position seen, in each axis, in frame pixels:
// pixels of the 640 x 480 frame, whatever size the screen shows it at (the saver windows
// hand the rule positions mapped back into the frame).
inline constexpr int kMouseTolerance = 10;

enum class MouseVerdict { kRecorded, kIgnored, kClose };

// Positions are in frame pixels. The first position seen is the reference for good: a slow
// drift that ends more than 10 frame pixels away in either axis closes the saver too.
class MouseRule {
 public:
  MouseVerdict Move(int x, int y);
  int StartX() const { return startX_; }
  int StartY() const { return startY_; }

 private:
  int startX_ = -1;
  int startY_ = -1;
};

// System commands (WM_SYSCOMMAND's parameter).
inline constexpr std::uint32_t kScreenSaveCommand = 0xF140;  // SC_SCREENSAVE

enum class SysCommandAnswer { kDefault, kHandled };

// A request to start the screensaver is swallowed (answered with result 1) so that none
// starts over the running one; every other command gets the default handling.
SysCommandAnswer WMSysCommand(std::uint32_t command, std::intptr_t& result);

}  // namespace shell
