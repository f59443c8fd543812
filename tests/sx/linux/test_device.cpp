#include "sx/test_device.h"

namespace sx::testing {

HWND TestDeviceOwner() { return nullptr; }

// The software device keeps what it presented.
std::vector<std::uint32_t> ReadFrameAndPresent(IDirect3DDevice9& device, UINT& width,
                                               UINT& height) {
  device.Present(nullptr, nullptr, nullptr, nullptr);
  std::vector<std::uint32_t> pixels;
  device.GetLastPresentedFrame(&pixels, &width, &height);
  return pixels;
}

}  // namespace sx::testing
