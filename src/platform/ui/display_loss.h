// The window framework ends the process with exit(1) from inside its loop when its X
// connection breaks (the X server went away). A program that must end otherwise then arms
// this: while it lives, such an exit runs `cleanUp` and ends the process with `status`
// instead. Any other exit is left as it is.
#pragma once

#include <functional>

namespace platform {

class DisplayLossExit {
 public:
  DisplayLossExit(int status, std::function<void()> cleanUp);
  ~DisplayLossExit();
  DisplayLossExit(const DisplayLossExit&) = delete;
  DisplayLossExit& operator=(const DisplayLossExit&) = delete;
};

}  // namespace platform
