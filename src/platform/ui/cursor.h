// The mouse cursor's display counter: the cursor shows while the counter is 0 or more.
#pragma once

namespace platform {

// Raises (show) or lowers (hide) the display counter by one and returns the new value;
// the counter starts at 0. Hiding blanks the cursor over every window of the program.
int ShowCursor(bool show);

}  // namespace platform
