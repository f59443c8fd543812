// The device the sx suites draw on, each system's own: the software device headless on
// Linux, the system's Direct3D 9 on a window of the test's on Windows.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/d3d9/d3d9.h"

namespace sx::testing {

// The window a device wrapper of the tests is made on, its drawable area 640 x 480: none on
// Linux, where the wrapper then runs headless at that size.
HWND TestDeviceOwner();

// The back buffer as 0xAARRGGBB pixels, rows top to bottom, read before it is presented.
std::vector<std::uint32_t> ReadFrameAndPresent(IDirect3DDevice9& device, UINT& width, UINT& height);

}  // namespace sx::testing
