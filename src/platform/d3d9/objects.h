// The objects behind the Direct3D 9 interfaces of the software device.
#pragma once

#include <array>
#include <cstdlib>
#include <memory>
#include <vector>

#include "platform/d3d9/d3d9.h"
#include "platform/d3d9/rasterizer.h"

namespace vm_d3d9 {

class Device9;

struct FreeDeleter {
  void operator()(uint8_t* p) const { std::free(p); }
};

// Pixels of one surface: rows of `pitch` bytes (the row's bytes rounded up to 4).
struct SurfaceMemory {
  D3DFORMAT format = D3DFMT_UNKNOWN;
  UINT width = 0;
  UINT height = 0;
  int pitch = 0;
  // Shared only by a back buffer, whose presented frame the target may show from.
  std::shared_ptr<uint8_t> bits;

  static size_t PitchOf(UINT width, D3DFORMAT format);
  static size_t BytesOf(UINT width, UINT height, D3DFORMAT format);
  // Zero-filled storage; false when memory runs out.
  bool Allocate(UINT width, UINT height, D3DFORMAT format);
  PixelBuffer View() const {
    return {bits.get(), static_cast<int>(width), static_cast<int>(height), pitch, format};
  }
};

// LockRect of a surface's memory: checks the rectangle and the lock state.
HRESULT LockSurfaceMemory(SurfaceMemory& memory, bool* locked, D3DLOCKED_RECT* out,
                          const RECT* rect);

class Direct3D9 final : public IDirect3D9 {
 public:
  explicit Direct3D9(const SoftwareDeviceOptions& options);

  ULONG AddRef() override;
  ULONG Release() override;
  UINT GetAdapterCount() override { return 1; }
  HRESULT GetAdapterIdentifier(UINT adapter, DWORD flags,
                               D3DADAPTER_IDENTIFIER9* identifier) override;
  HRESULT GetAdapterDisplayMode(UINT adapter, D3DDISPLAYMODE* mode) override;
  UINT GetAdapterModeCount(UINT adapter, D3DFORMAT format) override;
  HRESULT EnumAdapterModes(UINT adapter, D3DFORMAT format, UINT mode,
                           D3DDISPLAYMODE* displayMode) override;
  HRESULT CheckDeviceType(UINT adapter, D3DDEVTYPE type, D3DFORMAT adapterFormat,
                          D3DFORMAT backBufferFormat, BOOL windowed) override;
  HRESULT CheckDeviceFormat(UINT adapter, D3DDEVTYPE type, D3DFORMAT adapterFormat, DWORD usage,
                            D3DRESOURCETYPE resourceType, D3DFORMAT checkFormat) override;
  HRESULT CheckDepthStencilMatch(UINT adapter, D3DDEVTYPE type, D3DFORMAT adapterFormat,
                                 D3DFORMAT renderTargetFormat,
                                 D3DFORMAT depthStencilFormat) override;
  HRESULT GetDeviceCaps(UINT adapter, D3DDEVTYPE type, D3DCAPS9* caps) override;
  HRESULT CreateDevice(UINT adapter, D3DDEVTYPE type, HWND focusWindow, DWORD behaviorFlags,
                       D3DPRESENT_PARAMETERS* parameters, IDirect3DDevice9** device) override;
  const SoftwareDeviceOptions& Options() const override { return options_; }

  // The adapter's mode while a full-screen device exists.
  void EnterFullScreen(Device9* device, const D3DDISPLAYMODE& mode);
  void LeaveFullScreen(Device9* device);
  bool SupportsTextureFormat(D3DFORMAT format) const;
  bool SupportsDepthFormat(D3DFORMAT format) const;
  // D3D_OK when the adapter and device type exist.
  HRESULT CheckAdapter(UINT adapter, D3DDEVTYPE type) const;

 private:
  ~Direct3D9() override = default;

  ULONG refs_ = 1;
  SoftwareDeviceOptions options_;
  Device9* fullScreenDevice_ = nullptr;
  D3DDISPLAYMODE fullScreenMode_{};
};

// A surface owned by the device (back buffer or depth surface). Handing it out adds a
// reference to the surface and, while any is held, one to the device.
class ImplicitSurface9 final : public IDirect3DSurface9 {
 public:
  ImplicitSurface9(Device9* device, DWORD usage, bool lockable)
      : device_(device), usage_(usage), lockable_(lockable) {}
  ~ImplicitSurface9() override = default;

  ULONG AddRef() override;
  ULONG Release() override;
  HRESULT GetDevice(IDirect3DDevice9** device) override;
  D3DRESOURCETYPE GetType() override { return D3DRTYPE_SURFACE; }
  HRESULT GetDesc(D3DSURFACE_DESC* desc) override;
  HRESULT LockRect(D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags) override;
  HRESULT UnlockRect() override;

  SurfaceMemory memory;

 private:
  Device9* device_;
  DWORD usage_;
  bool lockable_;
  ULONG refs_ = 0;
  bool locked_ = false;
};

class Texture9;

// One mip level of a texture; its references are the texture's.
class TextureLevel9 final : public IDirect3DSurface9 {
 public:
  explicit TextureLevel9(Texture9* texture) : texture_(texture) {}
  ~TextureLevel9() override = default;

  ULONG AddRef() override;
  ULONG Release() override;
  HRESULT GetDevice(IDirect3DDevice9** device) override;
  D3DRESOURCETYPE GetType() override { return D3DRTYPE_SURFACE; }
  HRESULT GetDesc(D3DSURFACE_DESC* desc) override;
  HRESULT LockRect(D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags) override;
  HRESULT UnlockRect() override;

  SurfaceMemory memory;
  bool locked = false;

 private:
  Texture9* texture_;
};

class Texture9 final : public IDirect3DTexture9 {
 public:
  Texture9(Device9* device, DWORD usage, D3DPOOL pool, D3DFORMAT format);

  ULONG AddRef() override;
  ULONG Release() override;
  HRESULT GetDevice(IDirect3DDevice9** device) override;
  D3DRESOURCETYPE GetType() override { return D3DRTYPE_TEXTURE; }
  DWORD GetLevelCount() override { return static_cast<DWORD>(levels_.size()); }
  HRESULT GetLevelDesc(UINT level, D3DSURFACE_DESC* desc) override;
  HRESULT GetSurfaceLevel(UINT level, IDirect3DSurface9** surface) override;
  HRESULT LockRect(UINT level, D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags) override;
  HRESULT UnlockRect(UINT level) override;

  // Allocates `levels` levels from width x height down; false when memory runs out.
  bool AllocateLevels(UINT width, UINT height, UINT levels);
  void SetReservedBytes(uint64_t bytes) { reservedBytes_ = bytes; }
  Device9* Owner() const { return device_; }
  D3DFORMAT Format() const { return format_; }
  D3DPOOL Pool() const { return pool_; }
  PixelBuffer Level0() const { return level0_; }
  // Every texel of level 0 has alpha 255 (known again after each write lock).
  bool Level0Opaque();
  // Differs between any two textures and for one texture before and after a lock: equal
  // stamps mean equal texels.
  uint64_t Stamp() const { return stamp_; }
  HRESULT LockLevel(TextureLevel9* level, D3DLOCKED_RECT* locked, const RECT* rect);
  HRESULT UnlockLevel(TextureLevel9* level);
  void DescribeLevel(const TextureLevel9* level, D3DSURFACE_DESC* desc) const;

 private:
  ~Texture9() override;

  Device9* device_;
  // What every draw reads of the texture sits together, next to the object's start: a
  // frame's draws then touch one line of each texture instead of following its levels.
  uint64_t stamp_;
  PixelBuffer level0_;  // levels_.front()'s memory, fixed once allocated
  enum class Opacity { Unknown, Opaque, Translucent };
  Opacity opacity_ = Opacity::Unknown;
  DWORD usage_;
  D3DPOOL pool_;
  D3DFORMAT format_;
  ULONG refs_ = 1;
  uint64_t reservedBytes_ = 0;
  std::vector<std::unique_ptr<TextureLevel9>> levels_;
};

}  // namespace vm_d3d9
