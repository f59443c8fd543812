// The device's lifetime and what it owns: creation from the presentation parameters, the
// back buffers and depth buffer, textures and the texture memory budget. The API state
// lives in device_state.cpp, the held-back clears and draws in device_operations.cpp, and
// presenting in device_present.cpp.
#include "platform/d3d9/device.h"

#include <algorithm>
#include <bit>

#include "platform/d3d9/pixel_format.h"

namespace vm_d3d9 {
namespace {

constexpr UINT kMaxBackBufferSize = 16384;
constexpr UINT kMaxBackBufferCount = 3;

UINT FullChainLevels(UINT width, UINT height) {
  UINT levels = 1;
  UINT size = std::max(width, height);
  while (size > 1) {
    size /= 2;
    ++levels;
  }
  return levels;
}

}  // namespace

Device9::Device9(Direct3D9* direct3D, D3DDEVTYPE type)
    : direct3D_(direct3D),
      type_(type),
      blendOpEnabled_(direct3D->Options().blendOp),
      cpuHasAvx2_(CpuHasAvx2()) {
  direct3D_->AddRef();
}

Device9::~Device9() {
  if (target_ != nullptr) target_->RemoveWatcher(this);
  if (fullScreen_) direct3D_->LeaveFullScreen(this);
  backBuffers_.clear();
  depthSurface_.reset();
  direct3D_->Release();
}

HRESULT Device9::Create(Direct3D9* direct3D, D3DDEVTYPE type, HWND window, DWORD behaviorFlags,
                        D3DPRESENT_PARAMETERS* parameters, Device9** device) {
  const DWORD vertexProcessing =
      behaviorFlags & (D3DCREATE_SOFTWARE_VERTEXPROCESSING | D3DCREATE_HARDWARE_VERTEXPROCESSING |
                       D3DCREATE_MIXED_VERTEXPROCESSING);
  if (std::popcount(vertexProcessing) != 1) return D3DERR_INVALIDCALL;
  if (vertexProcessing != D3DCREATE_SOFTWARE_VERTEXPROCESSING &&
      !direct3D->Options().hardwareTransformAndLight) {
    return D3DERR_INVALIDCALL;
  }
  Device9* created = new Device9(direct3D, type);
  const HRESULT hr = created->Init(window, parameters);
  if (FAILED(hr)) {
    created->Release();
    return hr;
  }
  *device = created;
  return D3D_OK;
}

HRESULT Device9::Init(HWND focusWindow, D3DPRESENT_PARAMETERS* in) {
  D3DPRESENT_PARAMETERS p = *in;
  PresentTarget* window = p.hDeviceWindow != nullptr ? p.hDeviceWindow : focusWindow;
  const SoftwareDeviceOptions& options = Options();

  if (p.MultiSampleType != D3DMULTISAMPLE_NONE) return D3DERR_INVALIDCALL;
  if (p.SwapEffect < D3DSWAPEFFECT_DISCARD || p.SwapEffect > D3DSWAPEFFECT_COPY) {
    return D3DERR_INVALIDCALL;
  }
  if (p.BackBufferCount == 0) p.BackBufferCount = 1;
  if (p.BackBufferCount > kMaxBackBufferCount ||
      (p.SwapEffect == D3DSWAPEFFECT_COPY && p.BackBufferCount != 1)) {
    in->BackBufferCount = kMaxBackBufferCount;
    return D3DERR_INVALIDCALL;
  }
  if (p.Windowed) {
    if (p.FullScreen_RefreshRateInHz != 0) return D3DERR_INVALIDCALL;
    if (p.BackBufferWidth == 0 || p.BackBufferHeight == 0) {
      // A windowed device takes the size of its window's drawable area.
      if (window == nullptr) return D3DERR_INVALIDCALL;
      if (p.BackBufferWidth == 0)
        p.BackBufferWidth = static_cast<UINT>(std::max(1, window->ClientWidth()));
      if (p.BackBufferHeight == 0)
        p.BackBufferHeight = static_cast<UINT>(std::max(1, window->ClientHeight()));
    }
    if (p.BackBufferFormat == D3DFMT_UNKNOWN)
      p.BackBufferFormat = direct3D_->Options().desktopMode.Format;
  } else {
    // Full screen needs a window to fill and a concrete mode.
    if (window == nullptr || p.BackBufferWidth == 0 || p.BackBufferHeight == 0) {
      return D3DERR_INVALIDCALL;
    }
  }
  if (!IsBackBufferFormat(p.BackBufferFormat)) return D3DERR_NOTAVAILABLE;
  if (p.BackBufferWidth > kMaxBackBufferSize || p.BackBufferHeight > kMaxBackBufferSize) {
    return D3DERR_INVALIDCALL;
  }
  if (p.EnableAutoDepthStencil && !direct3D_->SupportsDepthFormat(p.AutoDepthStencilFormat)) {
    return D3DERR_INVALIDCALL;
  }

  const bool lockable = (p.Flags & D3DPRESENTFLAG_LOCKABLE_BACKBUFFER) != 0;
  for (UINT i = 0; i < p.BackBufferCount; ++i) {
    auto surface = std::make_unique<ImplicitSurface9>(this, D3DUSAGE_RENDERTARGET, lockable);
    if (!surface->memory.Allocate(p.BackBufferWidth, p.BackBufferHeight, p.BackBufferFormat)) {
      return E_OUTOFMEMORY;
    }
    backBuffers_.push_back(std::move(surface));
  }
  if (p.EnableAutoDepthStencil) {
    depthSurface_ = std::make_unique<ImplicitSurface9>(this, D3DUSAGE_DEPTHSTENCIL, false);
    depthSurface_->memory.format = p.AutoDepthStencilFormat;
    depthSurface_->memory.width = p.BackBufferWidth;
    depthSurface_->memory.height = p.BackBufferHeight;
    depth_.assign(static_cast<size_t>(p.BackBufferWidth) * p.BackBufferHeight, 1.0f);
  }
  // Depth values are not part of what a held-back operation can be redrawn from.
  deferring_ = !p.EnableAutoDepthStencil;

  if (window != nullptr) {
    target_ = window;
    target_->AddWatcher(this);
    target_->SetMode(p.Windowed ? PresentTarget::Mode::Windowed : PresentTarget::Mode::FullScreen);
  }
  if (!p.Windowed) {
    fullScreen_ = true;
    direct3D_->EnterFullScreen(this,
                               {p.BackBufferWidth, p.BackBufferHeight,
                                p.FullScreen_RefreshRateInHz != 0 ? p.FullScreen_RefreshRateInHz
                                                                  : options.desktopMode.RefreshRate,
                                D3DFMT_X8R8G8B8});
  }
  parameters_ = p;
  *in = p;
  ResetStates();
  return D3D_OK;
}

ULONG Device9::AddRef() { return ++refs_; }

ULONG Device9::Release() {
  if (refs_ == 0) return 0;
  const ULONG remaining = --refs_;
  if (remaining == 0) delete this;
  return remaining;
}

void Device9::OnPresentTargetGone() {
  target_ = nullptr;
  lost_ = true;
}

HRESULT Device9::TestCooperativeLevel() {
  recorder_.Record("TestCooperativeLevel", {});
  return lost_ ? D3DERR_DEVICELOST : D3D_OK;
}

bool Device9::ReserveTextureMemory(uint64_t bytes) {
  if (bytes > Options().textureMemory - std::min(textureMemoryUsed_, Options().textureMemory)) {
    return false;
  }
  textureMemoryUsed_ += bytes;
  return true;
}

void Device9::ReturnTextureMemory(uint64_t bytes) {
  textureMemoryUsed_ -= std::min(bytes, textureMemoryUsed_);
}

UINT Device9::GetAvailableTextureMem() {
  recorder_.Record("GetAvailableTextureMem", {});
  const uint64_t total = Options().textureMemory;
  const uint64_t free = total - std::min(textureMemoryUsed_, total);
  return static_cast<UINT>(std::min<uint64_t>(free, 0xFFFFFFFFu));
}

HRESULT Device9::GetDirect3D(IDirect3D9** direct3D) {
  if (direct3D == nullptr) return D3DERR_INVALIDCALL;
  direct3D_->AddRef();
  *direct3D = direct3D_;
  return D3D_OK;
}

HRESULT Device9::GetDeviceCaps(D3DCAPS9* caps) { return direct3D_->GetDeviceCaps(0, type_, caps); }

HRESULT Device9::GetDisplayMode(UINT swapChain, D3DDISPLAYMODE* mode) {
  if (swapChain != 0 || mode == nullptr) return D3DERR_INVALIDCALL;
  return direct3D_->GetAdapterDisplayMode(0, mode);
}

HRESULT Device9::GetBackBuffer(UINT swapChain, UINT index, D3DBACKBUFFER_TYPE type,
                               IDirect3DSurface9** backBuffer) {
  recorder_.Record("GetBackBuffer", {swapChain, index, type});
  if (backBuffer == nullptr) return D3DERR_INVALIDCALL;
  *backBuffer = nullptr;
  if (swapChain != 0 || index >= backBuffers_.size() || type != D3DBACKBUFFER_TYPE_MONO) {
    return D3DERR_INVALIDCALL;
  }
  backBuffers_[index]->AddRef();
  *backBuffer = backBuffers_[index].get();
  return D3D_OK;
}

HRESULT Device9::GetRenderTarget(DWORD index, IDirect3DSurface9** renderTarget) {
  if (renderTarget == nullptr) return D3DERR_INVALIDCALL;
  *renderTarget = nullptr;
  if (index != 0) return D3DERR_NOTFOUND;
  backBuffers_.front()->AddRef();
  *renderTarget = backBuffers_.front().get();
  return D3D_OK;
}

HRESULT Device9::GetDepthStencilSurface(IDirect3DSurface9** depthStencil) {
  recorder_.Record("GetDepthStencilSurface", {});
  if (depthStencil == nullptr) return D3DERR_INVALIDCALL;
  *depthStencil = nullptr;
  if (!depthSurface_) return D3DERR_NOTFOUND;
  depthSurface_->AddRef();
  *depthStencil = depthSurface_.get();
  return D3D_OK;
}

HRESULT Device9::CreateTexture(UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format,
                               D3DPOOL pool, IDirect3DTexture9** texture, HANDLE* sharedHandle) {
  recorder_.Record("CreateTexture", {width, height, levels, usage, format, pool});
  if (texture == nullptr) return D3DERR_INVALIDCALL;
  *texture = nullptr;
  const SoftwareDeviceOptions& options = Options();
  if (sharedHandle != nullptr || width == 0 || height == 0) return D3DERR_INVALIDCALL;
  if (!direct3D_->SupportsTextureFormat(format)) return D3DERR_INVALIDCALL;
  if (width > options.maxTextureWidth || height > options.maxTextureHeight) {
    return D3DERR_INVALIDCALL;
  }
  if (options.pow2Only && (!std::has_single_bit(width) || !std::has_single_bit(height))) {
    return D3DERR_INVALIDCALL;
  }
  if (options.squareOnly && width != height) return D3DERR_INVALIDCALL;
  if ((usage & ~static_cast<DWORD>(D3DUSAGE_DYNAMIC)) != 0) return D3DERR_INVALIDCALL;
  if ((usage & D3DUSAGE_DYNAMIC) && pool == D3DPOOL_MANAGED) return D3DERR_INVALIDCALL;
  if (pool > D3DPOOL_SCRATCH) return D3DERR_INVALIDCALL;
  const UINT maxLevels = FullChainLevels(width, height);
  if (levels == 0) levels = maxLevels;
  if (levels > maxLevels) return D3DERR_INVALIDCALL;

  uint64_t bytes = 0;
  for (UINT i = 0, w = width, h = height; i < levels; ++i) {
    bytes += SurfaceMemory::BytesOf(w, h, format);
    w = std::max<UINT>(1, w / 2);
    h = std::max<UINT>(1, h / 2);
  }
  const bool videoMemory = pool == D3DPOOL_DEFAULT || pool == D3DPOOL_MANAGED;
  if (videoMemory && !ReserveTextureMemory(bytes)) return D3DERR_OUTOFVIDEOMEMORY;
  Texture9* created = new Texture9(this, usage, pool, format);
  if (videoMemory) created->SetReservedBytes(bytes);
  if (!created->AllocateLevels(width, height, levels)) {
    created->Release();
    return E_OUTOFMEMORY;
  }
  *texture = created;
  return D3D_OK;
}
}  // namespace vm_d3d9
