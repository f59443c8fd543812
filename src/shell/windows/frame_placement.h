// Where the 640 x 480 frame goes on a screen that kept its own mode, and where a point of the
// screen lies in it.
#pragma once

#include <windows.h>

namespace shell {

// The largest rectangle of the frame's 4:3 shape centred in `area`.
RECT LetterboxRect(const RECT& area);

// Where a screen point lies in the 640 x 480 frame shown in `frame` (screen pixels), rounded
// down; outside the frame the mapping goes on, so distances count in frame pixels there too.
POINT FramePointOf(POINT screen, const RECT& frame);

}  // namespace shell
