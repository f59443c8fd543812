// A copy of what a device has drawn, read back from its back buffer: how the Windows saver
// shows tests and tools its frames where no screenshot can (Direct3D child windows are not
// always on the screen).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/d3d9/d3d9.h"

namespace shell {

struct BackBufferCopy {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> rgb;  // rows top to bottom, 3 bytes a pixel
  std::string error;              // why nothing could be read; empty on success
};

// Back buffer 0 through a system-memory surface (GetRenderTargetData, LockRect). Only
// 32-bit formats are read.
BackBufferCopy ReadBackBuffer(IDirect3DDevice9& device);

// Writes the copy as a binary PPM (P6) at `path` (UTF-8); returns "" or the reason it
// could not.
std::string WritePpm(const BackBufferCopy& copy, const std::string& path);

}  // namespace shell
