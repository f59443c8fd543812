#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "platform/d3d9/device.h"
#include "platform/d3d9/objects.h"
#include "platform/d3d9/pixel_format.h"

namespace vm_d3d9 {

size_t SurfaceMemory::PitchOf(UINT width, D3DFORMAT format) {
  return (static_cast<size_t>(width) * FormatBytes(format) + 3) & ~size_t{3};
}

size_t SurfaceMemory::BytesOf(UINT width, UINT height, D3DFORMAT format) {
  return PitchOf(width, format) * height;
}

bool SurfaceMemory::Allocate(UINT w, UINT h, D3DFORMAT f) {
  const size_t bytes = BytesOf(w, h, f);
  // calloc leaves untouched pages unmapped, so a large, partly used texture stays cheap.
  uint8_t* p = static_cast<uint8_t*>(std::calloc(std::max<size_t>(bytes, 1), 1));
  if (p == nullptr) return false;
  bits.reset(p, FreeDeleter{});
  format = f;
  width = w;
  height = h;
  pitch = static_cast<int>(PitchOf(w, f));
  return true;
}

HRESULT LockSurfaceMemory(SurfaceMemory& memory, bool* locked, D3DLOCKED_RECT* out,
                          const RECT* rect) {
  if (out == nullptr || *locked) return D3DERR_INVALIDCALL;
  RECT r{0, 0, static_cast<LONG>(memory.width), static_cast<LONG>(memory.height)};
  if (rect != nullptr) {
    r = *rect;
    if (r.left < 0 || r.top < 0 || r.left > r.right || r.top > r.bottom ||
        r.right > static_cast<LONG>(memory.width) || r.bottom > static_cast<LONG>(memory.height)) {
      return D3DERR_INVALIDCALL;
    }
  }
  *locked = true;
  out->Pitch = memory.pitch;
  out->pBits = memory.bits.get() + static_cast<ptrdiff_t>(r.top) * memory.pitch +
               static_cast<ptrdiff_t>(r.left) * FormatBytes(memory.format);
  return D3D_OK;
}

// ---- ImplicitSurface9 ----

ULONG ImplicitSurface9::AddRef() {
  if (refs_++ == 0) device_->AddRef();
  return refs_;
}

ULONG ImplicitSurface9::Release() {
  if (refs_ == 0) return 0;
  const ULONG remaining = --refs_;
  // The device may go away here, and this surface with it.
  if (remaining == 0) device_->Release();
  return remaining;
}

HRESULT ImplicitSurface9::GetDevice(IDirect3DDevice9** device) {
  if (device == nullptr) return D3DERR_INVALIDCALL;
  device_->AddRef();
  *device = device_;
  return D3D_OK;
}

HRESULT ImplicitSurface9::GetDesc(D3DSURFACE_DESC* desc) {
  if (desc == nullptr) return D3DERR_INVALIDCALL;
  *desc = {memory.format, D3DRTYPE_SURFACE, usage_, D3DPOOL_DEFAULT, D3DMULTISAMPLE_NONE, 0,
           memory.width,  memory.height};
  return D3D_OK;
}

HRESULT ImplicitSurface9::LockRect(D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags) {
  if (!lockable_) return D3DERR_INVALIDCALL;
  device_->BackBufferLocked((flags & D3DLOCK_READONLY) == 0);
  return LockSurfaceMemory(memory, &locked_, locked, rect);
}

HRESULT ImplicitSurface9::UnlockRect() {
  if (!locked_) return D3DERR_INVALIDCALL;
  locked_ = false;
  return D3D_OK;
}

// ---- TextureLevel9 ----

ULONG TextureLevel9::AddRef() { return texture_->AddRef(); }
ULONG TextureLevel9::Release() { return texture_->Release(); }
HRESULT TextureLevel9::GetDevice(IDirect3DDevice9** device) { return texture_->GetDevice(device); }

HRESULT TextureLevel9::GetDesc(D3DSURFACE_DESC* desc) {
  if (desc == nullptr) return D3DERR_INVALIDCALL;
  texture_->DescribeLevel(this, desc);
  return D3D_OK;
}

HRESULT TextureLevel9::LockRect(D3DLOCKED_RECT* out, const RECT* rect, DWORD) {
  return texture_->LockLevel(this, out, rect);
}

HRESULT TextureLevel9::UnlockRect() { return texture_->UnlockLevel(this); }

// ---- Texture9 ----

namespace {

uint64_t NextStamp() {
  static uint64_t last = 0;
  return ++last;
}

}  // namespace

Texture9::Texture9(Device9* device, DWORD usage, D3DPOOL pool, D3DFORMAT format)
    : device_(device), stamp_(NextStamp()), usage_(usage), pool_(pool), format_(format) {
  device_->AddRef();
}

Texture9::~Texture9() {
  device_->TextureChanging(this);
  levels_.clear();
  device_->ReturnTextureMemory(reservedBytes_);
  device_->Release();
}

ULONG Texture9::AddRef() { return ++refs_; }

ULONG Texture9::Release() {
  if (refs_ == 0) return 0;
  const ULONG remaining = --refs_;
  if (remaining == 0) delete this;
  return remaining;
}

HRESULT Texture9::GetDevice(IDirect3DDevice9** device) {
  if (device == nullptr) return D3DERR_INVALIDCALL;
  device_->AddRef();
  *device = device_;
  return D3D_OK;
}

bool Texture9::AllocateLevels(UINT width, UINT height, UINT levels) {
  for (UINT i = 0; i < levels; ++i) {
    auto level = std::make_unique<TextureLevel9>(this);
    if (!level->memory.Allocate(width, height, format_)) return false;
    levels_.push_back(std::move(level));
    if (i == 0) level0_ = levels_.front()->memory.View();
    width = std::max<UINT>(1, width / 2);
    height = std::max<UINT>(1, height / 2);
  }
  return true;
}

void Texture9::DescribeLevel(const TextureLevel9* level, D3DSURFACE_DESC* desc) const {
  *desc = {format_,
           D3DRTYPE_SURFACE,
           usage_,
           pool_,
           D3DMULTISAMPLE_NONE,
           0,
           level->memory.width,
           level->memory.height};
}

HRESULT Texture9::GetLevelDesc(UINT level, D3DSURFACE_DESC* desc) {
  if (desc == nullptr || level >= levels_.size()) return D3DERR_INVALIDCALL;
  DescribeLevel(levels_[level].get(), desc);
  return D3D_OK;
}

HRESULT Texture9::GetSurfaceLevel(UINT level, IDirect3DSurface9** surface) {
  if (surface == nullptr || level >= levels_.size()) return D3DERR_INVALIDCALL;
  AddRef();
  *surface = levels_[level].get();
  return D3D_OK;
}

HRESULT Texture9::LockLevel(TextureLevel9* level, D3DLOCKED_RECT* out, const RECT* rect) {
  // Video memory is reachable by the CPU only for dynamic textures.
  if (pool_ == D3DPOOL_DEFAULT && !(usage_ & D3DUSAGE_DYNAMIC)) return D3DERR_INVALIDCALL;
  device_->TextureChanging(this);
  stamp_ = NextStamp();
  const HRESULT hr = LockSurfaceMemory(level->memory, &level->locked, out, rect);
  if (SUCCEEDED(hr) && level == levels_.front().get()) opacity_ = Opacity::Unknown;
  return hr;
}

bool Texture9::Level0Opaque() {
  // Known only while level 0 is unlocked: locking it forgets the answer.
  if (opacity_ != Opacity::Unknown) return opacity_ == Opacity::Opaque;
  const TextureLevel9& level = *levels_.front();
  if (level.locked) return false;
  bool opaque =
      format_ == D3DFMT_X8R8G8B8 || format_ == D3DFMT_X1R5G5B5 || format_ == D3DFMT_R5G6B5;
  if (format_ == D3DFMT_A8R8G8B8) {
    opaque = true;
    for (UINT y = 0; y < level.memory.height && opaque; ++y) {
      const auto* row = reinterpret_cast<const uint32_t*>(
          level.memory.bits.get() + static_cast<ptrdiff_t>(y) * level.memory.pitch);
      uint32_t all = 0xFFFFFFFFu;
      for (UINT x = 0; x < level.memory.width; ++x) all &= row[x];
      opaque = (all >> 24) == 0xFF;
    }
  }
  opacity_ = opaque ? Opacity::Opaque : Opacity::Translucent;
  return opacity_ == Opacity::Opaque;
}

HRESULT Texture9::UnlockLevel(TextureLevel9* level) {
  if (!level->locked) return D3DERR_INVALIDCALL;
  level->locked = false;
  return D3D_OK;
}

HRESULT Texture9::LockRect(UINT level, D3DLOCKED_RECT* locked, const RECT* rect, DWORD) {
  if (level >= levels_.size()) return D3DERR_INVALIDCALL;
  return LockLevel(levels_[level].get(), locked, rect);
}

HRESULT Texture9::UnlockRect(UINT level) {
  if (level >= levels_.size()) return D3DERR_INVALIDCALL;
  return UnlockLevel(levels_[level].get());
}

}  // namespace vm_d3d9
