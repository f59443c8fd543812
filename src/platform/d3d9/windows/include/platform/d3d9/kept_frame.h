// Whether a device's back buffer still holds the frame it presented when the next frame
// begins (see the software device's header of the same name). On Windows the saver's
// full-screen swap chain discards its back buffer at every Present, so every frame is drawn
// whole.
#pragma once

#include "platform/d3d9/d3d9.h"

inline bool KeepsPresentedFrame(IDirect3DDevice9& /*device*/) { return false; }
