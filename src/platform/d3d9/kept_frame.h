// Whether a device's back buffer still holds the frame it presented when the next frame
// begins, so that a caller may draw only what changed since. Each system answers for its
// own device: this is the software device's answer.
#pragma once

#include "platform/d3d9/d3d9.h"

// The software device draws every frame into the buffer it presented last, which Present
// hands to the target without changing it, and tells the target only what a frame changed.
inline bool KeepsPresentedFrame(IDirect3DDevice9& /*device*/) { return true; }
