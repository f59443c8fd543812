// A copy of what the program has drawn, read back from a device's back buffer or a window's
// device context: how the Windows saver shows tests and tools its frames where no
// screenshot can (a child window of another program is not always on the screen).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/d3d9/d3d9.h"  // also <windows.h>

namespace shell {

// What tests and tools ask for: the `frame`-th frame drawn (1 = the first), as a PPM file at
// `path`.
struct FrameCopyRequest {
  int frame = 0;
  std::string path;
};

struct FrameCopy {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> rgb;  // rows top to bottom, 3 bytes a pixel
  std::string error;              // why nothing could be read; empty on success
};

// Back buffer 0 through a system-memory surface (GetRenderTargetData, LockRect). Only
// 32-bit formats are read.
FrameCopy ReadBackBuffer(IDirect3DDevice9& device);
// The same for another render target of the device.
FrameCopy ReadRenderTarget(IDirect3DDevice9& device, IDirect3DSurface9& target);

// The pixels of the `width` x `height` area at the top-left of `dc` (a window's).
FrameCopy ReadDeviceContext(HDC dc, int width, int height);

// Writes the copy as a binary PPM (P6) at `path` (UTF-8); returns "" or the reason it
// could not.
std::string WritePpm(const FrameCopy& copy, const std::string& path);

}  // namespace shell
