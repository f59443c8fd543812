// The drawable area of a device's window: what the device wrapper reads to size a
// windowed back buffer, and how it makes a window fit a chosen size.
#pragma once

#include "platform/d3d9/d3d9.h"

namespace platform {

struct ClientSize {
  int width = 0;
  int height = 0;
};

// The window's drawable size in pixels; 0 x 0 for a window that is gone.
ClientSize GetClientSize(HWND window);

// Makes the drawable area width x height: the window's frame grows or shrinks around it,
// its top-left corner stays where it is. A Win32 window is also shown and no longer kept
// above the others.
void ResizeClient(HWND window, int width, int height);

}  // namespace platform
