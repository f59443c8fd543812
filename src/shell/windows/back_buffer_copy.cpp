#include "shell/windows/back_buffer_copy.h"

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

}  // namespace

BackBufferCopy ReadBackBuffer(IDirect3DDevice9& device) {
  BackBufferCopy copy;
  IDirect3DSurface9* raw = nullptr;
  if (HRESULT r = device.GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &raw); FAILED(r)) {
    copy.error = Failed("GetBackBuffer", r);
    return copy;
  }
  const ComPtr<IDirect3DSurface9> back(raw);
  D3DSURFACE_DESC desc{};
  back->GetDesc(&desc);
  if (desc.Format != D3DFMT_A8R8G8B8 && desc.Format != D3DFMT_X8R8G8B8) {
    copy.error = "the back buffer is not a 32-bit format";
    return copy;
  }
  if (HRESULT r = device.CreateOffscreenPlainSurface(desc.Width, desc.Height, desc.Format,
                                                     D3DPOOL_SYSTEMMEM, &raw, nullptr);
      FAILED(r)) {
    copy.error = Failed("CreateOffscreenPlainSurface", r);
    return copy;
  }
  const ComPtr<IDirect3DSurface9> system(raw);
  if (HRESULT r = device.GetRenderTargetData(back.get(), system.get()); FAILED(r)) {
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
    // Pixels are B, G, R, A in memory.
    const auto* row = static_cast<const std::uint8_t*>(locked.pBits) + y * locked.Pitch;
    for (int x = 0; x < copy.width; ++x) {
      copy.rgb.push_back(row[4 * x + 2]);
      copy.rgb.push_back(row[4 * x + 1]);
      copy.rgb.push_back(row[4 * x]);
    }
  }
  system->UnlockRect();
  return copy;
}

std::string WritePpm(const BackBufferCopy& copy, const std::string& path) {
  std::string bytes =
      "P6\n" + std::to_string(copy.width) + " " + std::to_string(copy.height) + "\n255\n";
  bytes.append(copy.rgb.begin(), copy.rgb.end());
  return platform::WriteFileInPlace(path, bytes, platform::InPlaceWrite::kReplace);
}

}  // namespace shell
