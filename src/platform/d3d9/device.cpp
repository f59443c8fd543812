#include "platform/d3d9/device.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <tuple>

#include <emmintrin.h>

#include "platform/d3d9/pixel_format.h"
#include "platform/d3d9/rasterizer.h"

namespace vm_d3d9 {
namespace {

constexpr DWORD kTLVertexFVF = D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_SPECULAR | D3DFVF_TEX1;
constexpr UINT kMaxBackBufferSize = 16384;
constexpr UINT kMaxBackBufferCount = 3;
// Operations kept for comparison with the next frame; the saver's frames have about 200.
constexpr size_t kMaxHeldOperations = 4096;

uint64_t Bits(float f) { return std::bit_cast<uint32_t>(f); }
uint64_t Address(const void* p) { return reinterpret_cast<uintptr_t>(p); }

D3DMATRIX Identity() {
  D3DMATRIX m{};
  m._11 = m._22 = m._33 = m._44 = 1.0f;
  return m;
}

void FillPixels(uint32_t* p, LONG n, uint32_t value) {
  const __m128i v = _mm_set1_epi32(static_cast<int>(value));
  LONG k = 0;
  for (; k + 4 <= n; k += 4) _mm_storeu_si128(reinterpret_cast<__m128i*>(p + k), v);
  for (; k < n; ++k) p[k] = value;
}

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

Device9::Device9(Direct3D9* direct3D, D3DDEVTYPE type) : direct3D_(direct3D), type_(type) {
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

void Device9::ResetStates() {
  renderStates_.fill(0);
  renderStates_[D3DRS_ZENABLE] = parameters_.EnableAutoDepthStencil ? D3DZB_TRUE : D3DZB_FALSE;
  renderStates_[D3DRS_FILLMODE] = D3DFILL_SOLID;
  renderStates_[D3DRS_SHADEMODE] = D3DSHADE_GOURAUD;
  renderStates_[D3DRS_ZWRITEENABLE] = TRUE;
  renderStates_[D3DRS_LASTPIXEL] = TRUE;
  renderStates_[D3DRS_SRCBLEND] = D3DBLEND_ONE;
  renderStates_[D3DRS_DESTBLEND] = D3DBLEND_ZERO;
  renderStates_[D3DRS_CULLMODE] = D3DCULL_CCW;
  renderStates_[D3DRS_ZFUNC] = D3DCMP_LESSEQUAL;
  renderStates_[D3DRS_ALPHAFUNC] = D3DCMP_ALWAYS;
  renderStates_[D3DRS_FOGEND] = static_cast<DWORD>(Bits(1.0f));
  renderStates_[D3DRS_FOGDENSITY] = static_cast<DWORD>(Bits(1.0f));
  renderStates_[D3DRS_STENCILFUNC] = D3DCMP_ALWAYS;
  renderStates_[D3DRS_STENCILFAIL] = renderStates_[D3DRS_STENCILZFAIL] =
      renderStates_[D3DRS_STENCILPASS] = 1;
  renderStates_[D3DRS_STENCILMASK] = renderStates_[D3DRS_STENCILWRITEMASK] = 0xFFFFFFFF;
  renderStates_[D3DRS_TEXTUREFACTOR] = 0xFFFFFFFF;
  renderStates_[D3DRS_CLIPPING] = TRUE;
  renderStates_[D3DRS_LIGHTING] = TRUE;
  renderStates_[D3DRS_COLORVERTEX] = TRUE;
  renderStates_[D3DRS_LOCALVIEWER] = TRUE;
  renderStates_[D3DRS_DIFFUSEMATERIALSOURCE] = 1;
  renderStates_[D3DRS_SPECULARMATERIALSOURCE] = 2;
  renderStates_[D3DRS_POINTSIZE] = static_cast<DWORD>(Bits(1.0f));
  renderStates_[D3DRS_MULTISAMPLEANTIALIAS] = TRUE;
  renderStates_[D3DRS_MULTISAMPLEMASK] = 0xFFFFFFFF;
  renderStates_[D3DRS_COLORWRITEENABLE] = 0xF;
  renderStates_[D3DRS_BLENDOP] = D3DBLENDOP_ADD;
  renderStates_[D3DRS_BLENDFACTOR] = 0xFFFFFFFF;
  renderStates_[D3DRS_SRCBLENDALPHA] = D3DBLEND_ONE;
  renderStates_[D3DRS_DESTBLENDALPHA] = D3DBLEND_ZERO;
  renderStates_[D3DRS_BLENDOPALPHA] = D3DBLENDOP_ADD;

  for (DWORD stage = 0; stage < kD3DMaxTextureStages; ++stage) {
    auto& s = stageStates_[stage];
    s.fill(0);
    s[D3DTSS_COLOROP] = stage == 0 ? D3DTOP_MODULATE : D3DTOP_DISABLE;
    s[D3DTSS_COLORARG1] = D3DTA_TEXTURE;
    s[D3DTSS_COLORARG2] = D3DTA_CURRENT;
    s[D3DTSS_ALPHAOP] = stage == 0 ? D3DTOP_SELECTARG1 : D3DTOP_DISABLE;
    s[D3DTSS_ALPHAARG1] = D3DTA_TEXTURE;
    s[D3DTSS_ALPHAARG2] = D3DTA_CURRENT;
    s[D3DTSS_TEXCOORDINDEX] = stage;
    s[D3DTSS_COLORARG0] = s[D3DTSS_ALPHAARG0] = s[D3DTSS_RESULTARG] = D3DTA_CURRENT;
  }
  for (auto& s : samplerStates_) {
    s.fill(0);
    s[D3DSAMP_ADDRESSU] = s[D3DSAMP_ADDRESSV] = s[D3DSAMP_ADDRESSW] = D3DTADDRESS_WRAP;
    s[D3DSAMP_MAGFILTER] = s[D3DSAMP_MINFILTER] = D3DTEXF_POINT;
    s[D3DSAMP_MIPFILTER] = D3DTEXF_NONE;
    s[D3DSAMP_MAXANISOTROPY] = 1;
  }
  transforms_.fill(Identity());
  viewport_ = {0, 0, parameters_.BackBufferWidth, parameters_.BackBufferHeight, 0.0f, 1.0f};
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

namespace {

// Index of the first and one past the last pixel where a and b differ (n > 0, a != b).
void DifferingSpan(const uint32_t* a, const uint32_t* b, int n, int* first, int* end) {
  int lo = 0;
  while (lo < n && a[lo] == b[lo]) ++lo;
  int hi = n;
  while (hi > lo && a[hi - 1] == b[hi - 1]) --hi;
  *first = lo;
  *end = hi;
}

}  // namespace

HRESULT Device9::Present(const RECT* sourceRect, const RECT* destRect, HWND destWindowOverride,
                         const RGNDATA* dirtyRegion) {
  recorder_.Record("Present", {Address(sourceRect), Address(destRect), Address(destWindowOverride),
                               Address(dirtyRegion)});
  if (lost_) return D3DERR_DEVICELOST;
  Flush();
  const SurfaceMemory& frame = backBuffers_.front()->memory;
  const int width = static_cast<int>(frame.width), height = static_cast<int>(frame.height);
  PresentTarget* target = destWindowOverride != nullptr ? destWindowOverride : target_;
  FrameChanges changes;
  changes.presenter = this;
  const bool sameSize = lastFrameWidth_ == frame.width && lastFrameHeight_ == frame.height;
  changes.whole = !sameSize || target != lastShownTarget_;
  const auto row = [&](int y) {
    return reinterpret_cast<const uint32_t*>(frame.bits.get() +
                                             static_cast<ptrdiff_t>(y) * frame.pitch);
  };
  if (sameSize && damageValid_ && damage_.size() <= static_cast<size_t>(FrameChanges::kMaxRects)) {
    // Only what was redrawn can differ from the last frame.
    for (const ChangedRect& r : damage_) {
      for (int y = r.top; y < r.bottom; ++y) {
        std::memcpy(
            lastFrame_.data() + static_cast<size_t>(y) * static_cast<size_t>(width) + r.left,
            row(y) + r.left, static_cast<size_t>(r.right - r.left) * 4);
      }
      changes.rects[changes.count++] = r;
    }
  } else {
    // Keeping the presented frame costs one pass over it: rows equal to the last frame's
    // are compared at memory speed and not copied, and their absence is what the target
    // is told.
    lastFrame_.resize(static_cast<size_t>(width) * static_cast<size_t>(height));
    ChangedRect* band = nullptr;
    for (int y = 0; y < height; ++y) {
      const uint32_t* src = row(y);
      uint32_t* kept = lastFrame_.data() + static_cast<size_t>(y) * static_cast<size_t>(width);
      if (!sameSize) {
        std::memcpy(kept, src, static_cast<size_t>(width) * 4);
        continue;
      }
      if (std::memcmp(kept, src, static_cast<size_t>(width) * 4) == 0) continue;
      int first = 0, end = 0;
      DifferingSpan(src, kept, width, &first, &end);
      std::memcpy(kept + first, src + first, static_cast<size_t>(end - first) * 4);
      // Consecutive changed rows grow one band; the last band takes whatever is left
      // once all are in use.
      if (band != nullptr && (band->bottom == y || changes.count == FrameChanges::kMaxRects)) {
        band->left = std::min(band->left, first);
        band->right = std::max(band->right, end);
        band->bottom = y + 1;
      } else {
        band = &changes.rects[changes.count++];
        *band = {first, y, end, y + 1};
      }
    }
  }
  lastFrameWidth_ = frame.width;
  lastFrameHeight_ = frame.height;
  lastShownTarget_ = target;
  previous_.swap(frame_);
  frame_.clear();
  executed_ = 0;
  previousInBuffer_ = deferring_ && !bufferLocked_ && StartsWithWholeClear(previous_);
  bufferLocked_ = false;
  damageValid_ = false;
  if (target != nullptr) {
    target->ShowChanges(reinterpret_cast<const uint32_t*>(frame.bits.get()), width, height,
                        frame.pitch, changes);
  }
  return D3D_OK;
}

bool Device9::GetLastPresentedFrame(std::vector<uint32_t>* pixels, UINT* width, UINT* height) {
  if (lastFrameWidth_ == 0) return false;
  if (pixels != nullptr) *pixels = lastFrame_;
  if (width != nullptr) *width = lastFrameWidth_;
  if (height != nullptr) *height = lastFrameHeight_;
  return true;
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

HRESULT Device9::BeginScene() {
  recorder_.Record("BeginScene", {});
  if (inScene_) return D3DERR_INVALIDCALL;
  inScene_ = true;
  return D3D_OK;
}

HRESULT Device9::EndScene() {
  recorder_.Record("EndScene", {});
  if (!inScene_) return D3DERR_INVALIDCALL;
  inScene_ = false;
  return D3D_OK;
}

HRESULT Device9::Clear(DWORD count, const D3DRECT* rects, DWORD flags, D3DCOLOR color, float z,
                       DWORD stencil) {
  recorder_.Record("Clear", {count, Address(rects), flags, color, Bits(z), stencil});
  if (count > 0 && rects == nullptr) return D3DERR_INVALIDCALL;
  if ((flags & ~static_cast<DWORD>(D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL)) != 0 ||
      flags == 0) {
    return D3DERR_INVALIDCALL;
  }
  if ((flags & (D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL)) && !depthSurface_) return D3DERR_INVALIDCALL;
  if ((flags & D3DCLEAR_STENCIL) && depthSurface_->memory.format != D3DFMT_D24S8) {
    return D3DERR_INVALIDCALL;
  }
  const SurfaceMemory& target = backBuffers_.front()->memory;
  const uint32_t value = target.format == D3DFMT_X8R8G8B8 ? (color | 0xFF000000u) : color;
  const float depthValue = std::clamp(z, 0.0f, 1.0f);
  const LONG vx0 = static_cast<LONG>(viewport_.X), vy0 = static_cast<LONG>(viewport_.Y);
  const LONG vx1 = vx0 + static_cast<LONG>(viewport_.Width);
  const LONG vy1 = vy0 + static_cast<LONG>(viewport_.Height);
  const D3DRECT whole{vx0, vy0, vx1, vy1};
  const DWORD n = count == 0 ? 1 : count;
  for (DWORD i = 0; i < n; ++i) {
    const D3DRECT& r = count == 0 ? whole : rects[i];
    const LONG x0 = std::max(r.x1, vx0), y0 = std::max(r.y1, vy0);
    const LONG x1 = std::min(r.x2, vx1), y1 = std::min(r.y2, vy1);
    if (x0 >= x1 || y0 >= y1) continue;
    if (flags & D3DCLEAR_TARGET) {
      Operation op;
      op.kind = Operation::Kind::Clear;
      op.clearValue = value;
      op.bounds = {static_cast<int>(x0), static_cast<int>(y0), static_cast<int>(x1),
                   static_cast<int>(y1)};
      Record(std::move(op));
    }
    if (flags & D3DCLEAR_ZBUFFER) {
      for (LONG y = y0; y < y1; ++y) {
        float* row = depth_.data() + static_cast<ptrdiff_t>(y) * target.width;
        std::fill(row + x0, row + x1, depthValue);
      }
    }
  }
  return D3D_OK;
}

bool Device9::SameOperation(const Operation& a, const Operation& b) {
  const auto box = [](const ChangedRect& r) { return std::tie(r.left, r.top, r.right, r.bottom); };
  if (a.kind != b.kind || box(a.bounds) != box(b.bounds)) return false;
  if (a.kind == Operation::Kind::Clear) return a.clearValue == b.clearValue;
  const auto buffer = [](const PixelBuffer& p) {
    return std::tie(p.bits, p.width, p.height, p.pitch, p.format);
  };
  const auto fields = [&](const RasterState& s) {
    return std::tie(s.clipLeft, s.clipTop, s.clipRight, s.clipBottom, s.cullMode, s.shadeMode,
                    s.hasTexture, s.textureOpaque, s.magFilter, s.minFilter, s.addressU, s.addressV,
                    s.borderColor, s.colorOp, s.colorArg1, s.colorArg2, s.alphaOp, s.alphaArg1,
                    s.alphaArg2, s.textureFactor, s.alphaTest, s.alphaFunc, s.alphaRef, s.depthTest,
                    s.depthWrite, s.depthFunc, s.blend, s.srcBlend, s.destBlend, s.blendOp,
                    s.blendFactor, s.colorWriteMask, s.avx2);
  };
  return a.texture == b.texture && a.textureStamp == b.textureStamp && a.path == b.path &&
         buffer(a.state.texture) == buffer(b.state.texture) && fields(a.state) == fields(b.state) &&
         a.vertices.size() == b.vertices.size() &&
         std::memcmp(a.vertices.data(), b.vertices.data(), a.vertices.size() * sizeof(TLVertex)) ==
             0;
}

void Device9::Record(Operation operation) {
  frame_.push_back(std::move(operation));
  if (!deferring_) {
    Flush();
  } else if (frame_.size() > kMaxHeldOperations) {
    // A caller that draws on and on without presenting: carry the frame out and forget
    // it. Should a whole-target clear follow, what is recorded from it on still describes
    // the buffer exactly; if not, the next frame will not count as comparable.
    Flush();
    frame_.clear();
    executed_ = 0;
  }
}

bool Device9::StartsWithWholeClear(const std::vector<Operation>& operations) const {
  const SurfaceMemory& target = backBuffers_.front()->memory;
  if (operations.empty() || operations.front().kind != Operation::Kind::Clear) return false;
  const ChangedRect& r = operations.front().bounds;
  return r.left == 0 && r.top == 0 && r.right == static_cast<int>(target.width) &&
         r.bottom == static_cast<int>(target.height);
}

void Device9::Execute(size_t from, size_t to, const ChangedRect* area) {
  SurfaceMemory& target = backBuffers_.front()->memory;
  for (size_t i = from; i < to; ++i) {
    const Operation& op = frame_[i];
    ChangedRect box = op.bounds;
    if (area != nullptr) {
      box = {std::max(box.left, area->left), std::max(box.top, area->top),
             std::min(box.right, area->right), std::min(box.bottom, area->bottom)};
    }
    if (box.left >= box.right || box.top >= box.bottom) continue;
    if (op.kind == Operation::Kind::Clear) {
      // Nothing of a clear shows that the next draw overwrites without reading.
      if (i + 1 < to && frame_[i + 1].kind == Operation::Kind::Draw) {
        const Operation& next = frame_[i + 1];
        if (next.vertices.size() >= 4 && QuadOverwrites(next.state, next.vertices.data(), box.left,
                                                        box.top, box.right, box.bottom)) {
          continue;
        }
      }
      for (int y = box.top; y < box.bottom; ++y) {
        uint32_t* row = reinterpret_cast<uint32_t*>(target.bits.get() +
                                                    static_cast<ptrdiff_t>(y) * target.pitch);
        FillPixels(row + box.left, box.right - box.left, op.clearValue);
      }
      continue;
    }
    RasterState state = op.state;
    state.target = target.View();
    if (area != nullptr) {
      state.scissorLeft = area->left;
      state.scissorTop = area->top;
      state.scissorRight = area->right;
      state.scissorBottom = area->bottom;
    }
    const TLVertex* v = op.vertices.data();
    const UINT primitiveCount = static_cast<UINT>(op.vertices.size() - 2);
    for (UINT k = 0; k < primitiveCount; ++k) {
      if (k % 2 == 0 && k + 1 < primitiveCount && DrawQuad(state, v + k, op.path)) {
        ++k;  // both triangles of the quad are drawn
        continue;
      }
      // Odd triangles of a strip swap their first two vertices to keep the winding.
      if (k % 2 == 0) {
        DrawTriangle(state, v[k], v[k + 1], v[k + 2], op.path);
      } else {
        DrawTriangle(state, v[k + 1], v[k], v[k + 2], op.path);
      }
    }
  }
}

bool Device9::ExecuteDamageOnly() {
  if (frame_.size() != previous_.size()) return false;
  // Every pixel is first cleared by the same whole-target clear in both frames (else that
  // clear differs and everything is damaged). A pixel outside every operation that
  // differs then sees the same operations in the same order from the same start in both
  // frames, so it keeps the previous frame's value; inside, the whole frame is redrawn.
  std::vector<ChangedRect> boxes;
  const auto add = [&](ChangedRect r) {
    if (r.left >= r.right || r.top >= r.bottom) return;
    // Merge with every box it overlaps, until it overlaps none.
    for (bool merged = true; merged;) {
      merged = false;
      for (size_t k = 0; k < boxes.size(); ++k) {
        const ChangedRect& b = boxes[k];
        if (r.left < b.right && b.left < r.right && r.top < b.bottom && b.top < r.bottom) {
          r = {std::min(r.left, b.left), std::min(r.top, b.top), std::max(r.right, b.right),
               std::max(r.bottom, b.bottom)};
          boxes.erase(boxes.begin() + static_cast<ptrdiff_t>(k));
          merged = true;
          break;
        }
      }
    }
    boxes.push_back(r);
  };
  for (size_t i = 0; i < frame_.size(); ++i) {
    if (SameOperation(frame_[i], previous_[i])) continue;
    add(frame_[i].bounds);
    add(previous_[i].bounds);
  }
  if (boxes.size() > static_cast<size_t>(FrameChanges::kMaxRects)) return false;
  const SurfaceMemory& target = backBuffers_.front()->memory;
  int64_t area = 0;
  for (const ChangedRect& r : boxes) area += int64_t{r.right - r.left} * (r.bottom - r.top);
  if (area * 2 > int64_t{target.width} * target.height) return false;
  for (const ChangedRect& r : boxes) Execute(0, frame_.size(), &r);
  damage_ = std::move(boxes);
  damageValid_ = true;
  return true;
}

void Device9::Flush() {
  if (executed_ == frame_.size()) return;
  const bool damageOnly = executed_ == 0 && previousInBuffer_ && ExecuteDamageOnly();
  if (!damageOnly) Execute(executed_, frame_.size(), nullptr);
  executed_ = frame_.size();
  previousInBuffer_ = false;
}

void Device9::BackBufferLocked() {
  Flush();
  bufferLocked_ = true;
  previousInBuffer_ = false;
}

void Device9::TextureChanging(const Texture9* texture) {
  for (size_t i = executed_; i < frame_.size(); ++i) {
    if (frame_[i].texture == texture) {
      Flush();
      return;
    }
  }
}

size_t Device9::TransformSlot(D3DTRANSFORMSTATETYPE state) const {
  if (state == D3DTS_VIEW) return 0;
  if (state == D3DTS_PROJECTION) return 1;
  if (state == D3DTS_WORLD) return 2;
  if (state >= D3DTS_TEXTURE0 && state <= D3DTS_TEXTURE7) return 3 + (state - D3DTS_TEXTURE0);
  return kTransformSlots;
}

HRESULT Device9::SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX* matrix) {
  recorder_.Record("SetTransform", {state, Address(matrix)});
  const size_t slot = TransformSlot(state);
  if (matrix == nullptr || slot >= kTransformSlots) return D3DERR_INVALIDCALL;
  transforms_[slot] = *matrix;
  return D3D_OK;
}

HRESULT Device9::GetTransform(D3DTRANSFORMSTATETYPE state, D3DMATRIX* matrix) {
  const size_t slot = TransformSlot(state);
  if (matrix == nullptr || slot >= kTransformSlots) return D3DERR_INVALIDCALL;
  *matrix = transforms_[slot];
  return D3D_OK;
}

HRESULT Device9::SetViewport(const D3DVIEWPORT9* viewport) {
  if (viewport == nullptr) {
    recorder_.Record("SetViewport", {0});
    return D3DERR_INVALIDCALL;
  }
  recorder_.Record("SetViewport", {viewport->X, viewport->Y, viewport->Width, viewport->Height,
                                   Bits(viewport->MinZ), Bits(viewport->MaxZ)});
  const SurfaceMemory& target = backBuffers_.front()->memory;
  if (uint64_t{viewport->X} + viewport->Width > target.width ||
      uint64_t{viewport->Y} + viewport->Height > target.height || viewport->Width == 0 ||
      viewport->Height == 0) {
    return D3DERR_INVALIDCALL;
  }
  viewport_ = *viewport;
  return D3D_OK;
}

HRESULT Device9::GetViewport(D3DVIEWPORT9* viewport) {
  if (viewport == nullptr) return D3DERR_INVALIDCALL;
  *viewport = viewport_;
  return D3D_OK;
}

HRESULT Device9::SetRenderState(D3DRENDERSTATETYPE state, DWORD value) {
  recorder_.Record("SetRenderState", {state, value});
  if (state >= kD3DRenderStateCount) return D3DERR_INVALIDCALL;
  renderStates_[state] = value;
  return D3D_OK;
}

HRESULT Device9::GetRenderState(D3DRENDERSTATETYPE state, DWORD* value) {
  if (value == nullptr || state >= kD3DRenderStateCount) return D3DERR_INVALIDCALL;
  *value = renderStates_[state];
  return D3D_OK;
}

HRESULT Device9::GetTexture(DWORD stage, IDirect3DBaseTexture9** texture) {
  if (texture == nullptr || stage >= kD3DMaxTextureStages) return D3DERR_INVALIDCALL;
  *texture = textures_[stage];
  if (*texture != nullptr) (*texture)->AddRef();
  return D3D_OK;
}

HRESULT Device9::SetTexture(DWORD stage, IDirect3DBaseTexture9* texture) {
  recorder_.Record("SetTexture", {stage, Address(texture)});
  if (stage >= kD3DMaxTextureStages) return D3DERR_INVALIDCALL;
  Texture9* ours = nullptr;
  if (texture != nullptr) {
    ours = dynamic_cast<Texture9*>(texture);
    if (ours == nullptr || ours->Owner() != this) return D3DERR_INVALIDCALL;
    if (ours->Pool() != D3DPOOL_DEFAULT && ours->Pool() != D3DPOOL_MANAGED) {
      return D3DERR_INVALIDCALL;
    }
  }
  // The device holds a reference to every bound texture.
  if (ours != nullptr) ours->AddRef();
  if (textures_[stage] != nullptr) textures_[stage]->Release();
  textures_[stage] = ours;
  return D3D_OK;
}

HRESULT Device9::GetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD* value) {
  if (value == nullptr || stage >= kD3DMaxTextureStages || type >= kD3DTextureStageStateCount) {
    return D3DERR_INVALIDCALL;
  }
  *value = stageStates_[stage][type];
  return D3D_OK;
}

HRESULT Device9::SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD value) {
  recorder_.Record("SetTextureStageState", {stage, type, value});
  if (stage >= kD3DMaxTextureStages || type >= kD3DTextureStageStateCount) {
    return D3DERR_INVALIDCALL;
  }
  stageStates_[stage][type] = value;
  return D3D_OK;
}

HRESULT Device9::GetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD* value) {
  recorder_.Record("GetSamplerState", {sampler, type});
  if (value == nullptr || sampler >= kSamplerCount || type >= kD3DSamplerStateCount) {
    return D3DERR_INVALIDCALL;
  }
  *value = samplerStates_[sampler][type];
  return D3D_OK;
}

HRESULT Device9::SetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD value) {
  recorder_.Record("SetSamplerState", {sampler, type, value});
  if (sampler >= kSamplerCount || type >= kD3DSamplerStateCount) return D3DERR_INVALIDCALL;
  samplerStates_[sampler][type] = value;
  return D3D_OK;
}

HRESULT Device9::SetFVF(DWORD fvf) {
  recorder_.Record("SetFVF", {fvf});
  fvf_ = fvf;
  return D3D_OK;
}

HRESULT Device9::GetFVF(DWORD* fvf) {
  if (fvf == nullptr) return D3DERR_INVALIDCALL;
  *fvf = fvf_;
  return D3D_OK;
}

RasterState Device9::MakeRasterState() const {
  RasterState state;
  state.target = backBuffers_.front()->memory.View();
  state.clipLeft = static_cast<int>(viewport_.X);
  state.clipTop = static_cast<int>(viewport_.Y);
  state.clipRight = static_cast<int>(viewport_.X + viewport_.Width);
  state.clipBottom = static_cast<int>(viewport_.Y + viewport_.Height);
  const auto& rs = renderStates_;
  state.cullMode = rs[D3DRS_CULLMODE];
  state.shadeMode = rs[D3DRS_SHADEMODE];

  const auto& stage = stageStates_[0];
  const auto& sampler = samplerStates_[0];
  state.hasTexture = textures_[0] != nullptr;
  if (state.hasTexture) {
    state.texture = textures_[0]->Level0();
    state.textureOpaque = textures_[0]->Level0Opaque();
    state.magFilter = sampler[D3DSAMP_MAGFILTER];
    state.minFilter = sampler[D3DSAMP_MINFILTER];
    state.addressU = sampler[D3DSAMP_ADDRESSU];
    state.addressV = sampler[D3DSAMP_ADDRESSV];
    state.borderColor = sampler[D3DSAMP_BORDERCOLOR];
  }
  state.colorOp = stage[D3DTSS_COLOROP];
  state.colorArg1 = stage[D3DTSS_COLORARG1];
  state.colorArg2 = stage[D3DTSS_COLORARG2];
  state.alphaOp = stage[D3DTSS_ALPHAOP];
  state.alphaArg1 = stage[D3DTSS_ALPHAARG1];
  state.alphaArg2 = stage[D3DTSS_ALPHAARG2];
  state.textureFactor = rs[D3DRS_TEXTUREFACTOR];

  state.alphaTest = rs[D3DRS_ALPHATESTENABLE] != 0;
  state.alphaFunc = rs[D3DRS_ALPHAFUNC];
  state.alphaRef = rs[D3DRS_ALPHAREF];

  // Without a depth buffer the Z states have nothing to act on.
  if (depthSurface_ && rs[D3DRS_ZENABLE] != D3DZB_FALSE) {
    state.depth = {const_cast<float*>(depth_.data()), static_cast<int>(parameters_.BackBufferWidth),
                   static_cast<int>(parameters_.BackBufferHeight)};
    state.depthTest = true;
    state.depthWrite = rs[D3DRS_ZWRITEENABLE] != 0;
    state.depthFunc = rs[D3DRS_ZFUNC];
  }

  state.blend = rs[D3DRS_ALPHABLENDENABLE] != 0;
  state.srcBlend = rs[D3DRS_SRCBLEND];
  state.destBlend = rs[D3DRS_DESTBLEND];
  state.blendOp = Options().blendOp ? rs[D3DRS_BLENDOP] : static_cast<DWORD>(D3DBLENDOP_ADD);
  state.blendFactor = rs[D3DRS_BLENDFACTOR];
  state.colorWriteMask = rs[D3DRS_COLORWRITEENABLE] & 0xF;
  state.avx2 = rasterPath_ == RasterPath::Fast && CpuHasAvx2();
  return state;
}

HRESULT Device9::DrawPrimitiveUP(D3DPRIMITIVETYPE primitiveType, UINT primitiveCount,
                                 const void* vertexData, UINT vertexStride) {
  recorder_.Record("DrawPrimitiveUP",
                   {primitiveType, primitiveCount, Address(vertexData), vertexStride});
  if (primitiveType != D3DPT_TRIANGLESTRIP || primitiveCount == 0 || vertexData == nullptr ||
      fvf_ != kTLVertexFVF || vertexStride != sizeof(TLVertex) || !inScene_) {
    return D3DERR_INVALIDCALL;
  }
  if (lost_) return D3D_OK;
  RasterState state = MakeRasterState();
  if (state.hasTexture && state.texture.format == D3DFMT_P8) {
    // Palette textures can be filled but not sampled by this device.
    return D3DERR_WRONGTEXTUREFORMAT;
  }
  const auto* v = static_cast<const TLVertex*>(vertexData);
  Operation op;
  op.kind = Operation::Kind::Draw;
  op.state = state;
  op.state.target = {};
  op.texture = textures_[0];
  op.textureStamp = textures_[0] != nullptr ? textures_[0]->Stamp() : 0;
  op.path = rasterPath_;
  op.vertices.assign(v, v + primitiveCount + 2);
  // The pixels whose centres the vertices' extent holds, within the viewport.
  op.bounds = {state.clipLeft, state.clipTop, state.clipRight, state.clipBottom};
  float x0 = v[0].x, x1 = v[0].x, y0 = v[0].y, y1 = v[0].y;
  for (const TLVertex& p : op.vertices) {
    x0 = std::min(x0, p.x);
    x1 = std::max(x1, p.x);
    y0 = std::min(y0, p.y);
    y1 = std::max(y1, p.y);
  }
  const auto inside = [](float f, int lo, int hi) {
    return static_cast<int>(std::clamp(f, static_cast<float>(lo), static_cast<float>(hi)));
  };
  if (std::isfinite(x0) && std::isfinite(x1) && std::isfinite(y0) && std::isfinite(y1)) {
    op.bounds = {inside(std::floor(x0), state.clipLeft, state.clipRight),
                 inside(std::floor(y0), state.clipTop, state.clipBottom),
                 inside(std::floor(x1) + 1, state.clipLeft, state.clipRight),
                 inside(std::floor(y1) + 1, state.clipTop, state.clipBottom)};
  }
  Record(std::move(op));
  return D3D_OK;
}

}  // namespace vm_d3d9
