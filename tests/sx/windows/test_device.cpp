#include <cstring>

#include "sx/test_device.h"

namespace sx::testing {

HWND TestDeviceOwner() {
  static const HWND window = [] {
    WNDCLASSW description{};
    description.lpfnWndProc = DefWindowProcW;
    description.hInstance = GetModuleHandleW(nullptr);
    description.lpszClassName = L"VelmorandiSxTest";
    RegisterClassW(&description);
    return CreateWindowExW(0, L"VelmorandiSxTest", L"sx test", WS_POPUP, 0, 0, 640, 480, nullptr,
                           nullptr, GetModuleHandleW(nullptr), nullptr);
  }();
  return window;
}

// Through a system-memory copy: the back buffer itself cannot be locked.
std::vector<std::uint32_t> ReadFrameAndPresent(IDirect3DDevice9& device, UINT& width,
                                               UINT& height) {
  std::vector<std::uint32_t> pixels;
  IDirect3DSurface9* back = nullptr;
  IDirect3DSurface9* copy = nullptr;
  D3DSURFACE_DESC desc{};
  D3DLOCKED_RECT locked{};
  if (SUCCEEDED(device.GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &back)) &&
      SUCCEEDED(back->GetDesc(&desc)) &&
      SUCCEEDED(device.CreateOffscreenPlainSurface(desc.Width, desc.Height, desc.Format,
                                                   D3DPOOL_SYSTEMMEM, &copy, nullptr)) &&
      SUCCEEDED(device.GetRenderTargetData(back, copy)) &&
      SUCCEEDED(copy->LockRect(&locked, nullptr, D3DLOCK_READONLY))) {
    width = desc.Width;
    height = desc.Height;
    pixels.resize(static_cast<std::size_t>(width) * height);
    for (UINT y = 0; y < height; ++y) {
      std::memcpy(pixels.data() + static_cast<std::size_t>(y) * width,
                  static_cast<const char*>(locked.pBits) + y * locked.Pitch, width * 4u);
    }
    copy->UnlockRect();
  }
  if (copy != nullptr) copy->Release();
  if (back != nullptr) back->Release();
  device.Present(nullptr, nullptr, nullptr, nullptr);
  return pixels;
}

}  // namespace sx::testing
