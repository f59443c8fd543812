#include "shell/windows/frame_copy.h"

#include <cstdio>
#include <memory>

#include "platform/fs/fs.h"

namespace shell {

namespace {

struct ComRelease {
  void operator()(IUnknown* object) const { object->Release(); }
};
template <typename T>
using ComPtr = std::unique_ptr<T, ComRelease>;

std::string Failed(const char* call, HRESULT result) {
  char text[96];
  std::snprintf(text, sizeof text, "%s failed (0x%08lX)", call, static_cast<unsigned long>(result));
  return text;
}

// Pixels stored B, G, R, A (or X) go to the copy as R, G, B.
void AppendBgra(std::vector<std::uint8_t>& rgb, const std::uint8_t* bgra, std::size_t pixels) {
  for (std::size_t i = 0; i < pixels; ++i) {
    rgb.push_back(bgra[4 * i + 2]);
    rgb.push_back(bgra[4 * i + 1]);
    rgb.push_back(bgra[4 * i]);
  }
}

}  // namespace

FrameCopy ReadBackBuffer(IDirect3DDevice9& device) {
  IDirect3DSurface9* raw = nullptr;
  if (HRESULT r = device.GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &raw); FAILED(r)) {
    FrameCopy copy;
    copy.error = Failed("GetBackBuffer", r);
    return copy;
  }
  const ComPtr<IDirect3DSurface9> back(raw);
  return ReadRenderTarget(device, *back);
}

FrameCopy ReadRenderTarget(IDirect3DDevice9& device, IDirect3DSurface9& target) {
  FrameCopy copy;
  IDirect3DSurface9* raw = nullptr;
  D3DSURFACE_DESC desc{};
  target.GetDesc(&desc);
  if (desc.Format != D3DFMT_A8R8G8B8 && desc.Format != D3DFMT_X8R8G8B8) {
    copy.error = "the render target is not a 32-bit format";
    return copy;
  }
  if (HRESULT r = device.CreateOffscreenPlainSurface(desc.Width, desc.Height, desc.Format,
                                                     D3DPOOL_SYSTEMMEM, &raw, nullptr);
      FAILED(r)) {
    copy.error = Failed("CreateOffscreenPlainSurface", r);
    return copy;
  }
  const ComPtr<IDirect3DSurface9> system(raw);
  if (HRESULT r = device.GetRenderTargetData(&target, system.get()); FAILED(r)) {
    copy.error = Failed("GetRenderTargetData", r);
    return copy;
  }
  D3DLOCKED_RECT locked{};
  if (HRESULT r = system->LockRect(&locked, nullptr, D3DLOCK_READONLY); FAILED(r)) {
    copy.error = Failed("LockRect", r);
    return copy;
  }
  copy.width = static_cast<int>(desc.Width);
  copy.height = static_cast<int>(desc.Height);
  copy.rgb.reserve(static_cast<std::size_t>(copy.width) * copy.height * 3);
  for (int y = 0; y < copy.height; ++y) {
    AppendBgra(copy.rgb, static_cast<const std::uint8_t*>(locked.pBits) + y * locked.Pitch,
               desc.Width);
  }
  system->UnlockRect();
  return copy;
}

FrameCopy ReadDeviceContext(HDC dc, int width, int height) {
  FrameCopy copy;
  if (width <= 0 || height <= 0) {
    copy.error = "the window has no area";
    return copy;
  }
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // rows top to bottom
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HDC memory = ::CreateCompatibleDC(dc);
  HBITMAP bitmap = ::CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (memory == nullptr || bitmap == nullptr) {
    if (bitmap != nullptr) ::DeleteObject(bitmap);
    if (memory != nullptr) ::DeleteDC(memory);
    copy.error = "no memory bitmap of that size";
    return copy;
  }
  const HGDIOBJ old = ::SelectObject(memory, bitmap);
  const BOOL copied = ::BitBlt(memory, 0, 0, width, height, dc, 0, 0, SRCCOPY);
  ::GdiFlush();
  if (copied) {
    copy.width = width;
    copy.height = height;
    copy.rgb.reserve(static_cast<std::size_t>(width) * height * 3);
    AppendBgra(copy.rgb, static_cast<const std::uint8_t*>(bits),
               static_cast<std::size_t>(width) * height);
  } else {
    copy.error = "BitBlt failed";
  }
  ::SelectObject(memory, old);
  ::DeleteObject(bitmap);
  ::DeleteDC(memory);
  return copy;
}

std::string WritePpm(const FrameCopy& copy, const std::string& path) {
  std::string bytes =
      "P6\n" + std::to_string(copy.width) + " " + std::to_string(copy.height) + "\n255\n";
  bytes.append(copy.rgb.begin(), copy.rgb.end());
  return platform::WriteFileInPlace(path, bytes, platform::InPlaceWrite::kReplace);
}

}  // namespace shell
