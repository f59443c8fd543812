// Where the frame lands on an output, and where a point of the output lies in the frame.
#pragma once

#include "platform/d3d9/present_target.h"

namespace platform {

// The largest rectangle of the frame's aspect ratio that fits an area of areaWidth x
// areaHeight, centred; empty when either size is not positive.
ChangedRect LetterboxRect(int areaWidth, int areaHeight, int frameWidth, int frameHeight);

struct FramePoint {
  int x = 0, y = 0;
};

// The frame pixel under point (x, y) of an area whose frame lands at `place`: outside the
// frame (negative, or past its size) on a bar.
FramePoint ToFramePixel(double x, double y, const ChangedRect& place, int frameWidth,
                        int frameHeight);

}  // namespace platform
