#include <algorithm>
#include <cstring>

#include "platform/d3d9/device.h"
#include "platform/d3d9/objects.h"
#include "platform/d3d9/pixel_format.h"

namespace {

SoftwareDeviceOptions& DefaultOptions() {
  static SoftwareDeviceOptions options;
  return options;
}

}  // namespace

void SetDefaultSoftwareDeviceOptions(const SoftwareDeviceOptions& options) {
  DefaultOptions() = options;
}

SoftwareDeviceOptions DefaultSoftwareDeviceOptions() { return DefaultOptions(); }

IDirect3D9* Direct3DCreate9(UINT sdkVersion) {
  return Direct3DCreate9WithOptions(sdkVersion, DefaultOptions());
}

IDirect3D9* Direct3DCreate9WithOptions(UINT sdkVersion, const SoftwareDeviceOptions& options) {
  if (sdkVersion != D3D_SDK_VERSION || !options.direct3DAvailable) return nullptr;
  return new vm_d3d9::Direct3D9(options);
}

namespace vm_d3d9 {

namespace {

void CopyText(char* out, size_t size, const char* text) {
  std::strncpy(out, text, size - 1);
  out[size - 1] = '\0';
}

bool IsDisplayFormat(D3DFORMAT format, const SoftwareDeviceOptions& options) {
  return IsBackBufferFormat(format) || format == options.desktopMode.Format;
}

}  // namespace

Direct3D9::Direct3D9(const SoftwareDeviceOptions& options) : options_(options) {}

ULONG Direct3D9::AddRef() { return ++refs_; }

ULONG Direct3D9::Release() {
  const ULONG remaining = --refs_;
  if (remaining == 0) delete this;
  return remaining;
}

HRESULT Direct3D9::CheckAdapter(UINT adapter, D3DDEVTYPE type) const {
  if (adapter != 0) return D3DERR_INVALIDCALL;
  if (type == D3DDEVTYPE_REF) return D3D_OK;
  if (type == D3DDEVTYPE_HAL && options_.halAvailable) return D3D_OK;
  return D3DERR_NOTAVAILABLE;
}

bool Direct3D9::SupportsTextureFormat(D3DFORMAT format) const {
  return FormatBytes(format) != 0 &&
         std::find(options_.textureFormats.begin(), options_.textureFormats.end(), format) !=
             options_.textureFormats.end();
}

bool Direct3D9::SupportsDepthFormat(D3DFORMAT format) const {
  return IsDepthFormat(format) &&
         std::find(options_.depthFormats.begin(), options_.depthFormats.end(), format) !=
             options_.depthFormats.end();
}

HRESULT Direct3D9::GetAdapterIdentifier(UINT adapter, DWORD, D3DADAPTER_IDENTIFIER9* identifier) {
  if (adapter != 0 || identifier == nullptr) return D3DERR_INVALIDCALL;
  std::memset(identifier, 0, sizeof(*identifier));
  CopyText(identifier->Driver, sizeof(identifier->Driver), "velmorandi-swd3d9");
  CopyText(identifier->Description, sizeof(identifier->Description),
           "Velmorandi software Direct3D 9 rasteriser");
  CopyText(identifier->DeviceName, sizeof(identifier->DeviceName), "SOFTWARE0");
  identifier->DriverVersion = 1;
  identifier->WHQLLevel = 0;
  return D3D_OK;
}

HRESULT Direct3D9::GetAdapterDisplayMode(UINT adapter, D3DDISPLAYMODE* mode) {
  if (adapter != 0 || mode == nullptr) return D3DERR_INVALIDCALL;
  *mode = fullScreenDevice_ != nullptr ? fullScreenMode_ : options_.desktopMode;
  return D3D_OK;
}

UINT Direct3D9::GetAdapterModeCount(UINT adapter, D3DFORMAT format) {
  return adapter == 0 && format == options_.desktopMode.Format ? 2 : 0;
}

HRESULT Direct3D9::EnumAdapterModes(UINT adapter, D3DFORMAT format, UINT mode,
                                    D3DDISPLAYMODE* displayMode) {
  if (displayMode == nullptr || mode >= GetAdapterModeCount(adapter, format))
    return D3DERR_INVALIDCALL;
  *displayMode = options_.desktopMode;
  if (mode == 0) {
    displayMode->Width = 640;
    displayMode->Height = 480;
  }
  return D3D_OK;
}

HRESULT Direct3D9::CheckDeviceType(UINT adapter, D3DDEVTYPE type, D3DFORMAT adapterFormat,
                                   D3DFORMAT backBufferFormat, BOOL windowed) {
  if (const HRESULT hr = CheckAdapter(adapter, type); FAILED(hr)) return hr;
  if (!IsDisplayFormat(adapterFormat, options_)) return D3DERR_NOTAVAILABLE;
  if (IsBackBufferFormat(backBufferFormat)) return D3D_OK;
  if (windowed && backBufferFormat == D3DFMT_UNKNOWN) return D3D_OK;
  return D3DERR_NOTAVAILABLE;
}

HRESULT Direct3D9::CheckDeviceFormat(UINT adapter, D3DDEVTYPE type, D3DFORMAT adapterFormat,
                                     DWORD usage, D3DRESOURCETYPE resourceType,
                                     D3DFORMAT checkFormat) {
  if (const HRESULT hr = CheckAdapter(adapter, type); FAILED(hr)) return hr;
  if (!IsDisplayFormat(adapterFormat, options_)) return D3DERR_INVALIDCALL;
  if (usage & D3DUSAGE_DEPTHSTENCIL) {
    return resourceType == D3DRTYPE_SURFACE && SupportsDepthFormat(checkFormat)
               ? D3D_OK
               : D3DERR_NOTAVAILABLE;
  }
  if (usage & D3DUSAGE_RENDERTARGET) {
    // Only the back buffer can be drawn into.
    return resourceType == D3DRTYPE_SURFACE && IsBackBufferFormat(checkFormat)
               ? D3D_OK
               : D3DERR_NOTAVAILABLE;
  }
  if ((usage & ~static_cast<DWORD>(D3DUSAGE_DYNAMIC)) != 0) return D3DERR_NOTAVAILABLE;
  if (resourceType != D3DRTYPE_TEXTURE && resourceType != D3DRTYPE_SURFACE) {
    return D3DERR_NOTAVAILABLE;
  }
  return SupportsTextureFormat(checkFormat) ? D3D_OK : D3DERR_NOTAVAILABLE;
}

HRESULT Direct3D9::CheckDepthStencilMatch(UINT adapter, D3DDEVTYPE type, D3DFORMAT adapterFormat,
                                          D3DFORMAT renderTargetFormat,
                                          D3DFORMAT depthStencilFormat) {
  if (const HRESULT hr = CheckAdapter(adapter, type); FAILED(hr)) return hr;
  if (!IsDisplayFormat(adapterFormat, options_) || !IsBackBufferFormat(renderTargetFormat)) {
    return D3DERR_INVALIDCALL;
  }
  return SupportsDepthFormat(depthStencilFormat) ? D3D_OK : D3DERR_NOTAVAILABLE;
}

HRESULT Direct3D9::GetDeviceCaps(UINT adapter, D3DDEVTYPE type, D3DCAPS9* caps) {
  if (caps == nullptr) return D3DERR_INVALIDCALL;
  if (const HRESULT hr = CheckAdapter(adapter, type); FAILED(hr)) return hr;
  std::memset(caps, 0, sizeof(*caps));
  caps->DeviceType = type;
  caps->AdapterOrdinal = adapter;
  caps->PresentationIntervals = D3DPRESENT_INTERVAL_ONE | D3DPRESENT_INTERVAL_IMMEDIATE;
  caps->DevCaps = options_.hardwareTransformAndLight ? D3DDEVCAPS_HWTRANSFORMANDLIGHT : 0;
  caps->PrimitiveMiscCaps = D3DPMISCCAPS_CULLNONE | D3DPMISCCAPS_CULLCW | D3DPMISCCAPS_CULLCCW |
                            (options_.blendOp ? D3DPMISCCAPS_BLENDOP : 0);
  caps->RasterCaps = D3DPRASTERCAPS_SCISSORTEST;
  caps->ZCmpCaps = caps->AlphaCmpCaps = 0xFF;
  const DWORD blendCaps =
      D3DPBLENDCAPS_ZERO | D3DPBLENDCAPS_ONE | D3DPBLENDCAPS_SRCCOLOR | D3DPBLENDCAPS_INVSRCCOLOR |
      D3DPBLENDCAPS_SRCALPHA | D3DPBLENDCAPS_INVSRCALPHA | D3DPBLENDCAPS_DESTALPHA |
      D3DPBLENDCAPS_INVDESTALPHA | D3DPBLENDCAPS_DESTCOLOR | D3DPBLENDCAPS_INVDESTCOLOR;
  caps->SrcBlendCaps = caps->DestBlendCaps = blendCaps;
  caps->ShadeCaps = D3DPSHADECAPS_COLORGOURAUDRGB;
  caps->TextureCaps = D3DPTEXTURECAPS_PERSPECTIVE | D3DPTEXTURECAPS_ALPHA | D3DPTEXTURECAPS_MIPMAP |
                      (options_.pow2Only ? D3DPTEXTURECAPS_POW2 : 0) |
                      (options_.squareOnly ? D3DPTEXTURECAPS_SQUAREONLY : 0);
  caps->TextureFilterCaps = D3DPTFILTERCAPS_MINFPOINT | D3DPTFILTERCAPS_MINFLINEAR |
                            D3DPTFILTERCAPS_MAGFPOINT | D3DPTFILTERCAPS_MAGFLINEAR;
  caps->TextureAddressCaps = D3DPTADDRESSCAPS_WRAP;
  caps->MaxTextureWidth = options_.maxTextureWidth;
  caps->MaxTextureHeight = options_.maxTextureHeight;
  caps->MaxTextureRepeat = 8192;
  caps->MaxTextureAspectRatio = options_.squareOnly ? 1 : 0;
  caps->MaxAnisotropy = 1;
  caps->MaxVertexW = 1e10f;
  caps->GuardBandLeft = caps->GuardBandTop = -2097152.0f;
  caps->GuardBandRight = caps->GuardBandBottom = 2097152.0f;
  caps->FVFCaps = 1;
  caps->TextureOpCaps = D3DTEXOPCAPS_DISABLE | D3DTEXOPCAPS_SELECTARG1 | D3DTEXOPCAPS_SELECTARG2 |
                        D3DTEXOPCAPS_MODULATE | D3DTEXOPCAPS_MODULATE2X | D3DTEXOPCAPS_MODULATE4X |
                        D3DTEXOPCAPS_ADD | D3DTEXOPCAPS_ADDSIGNED | D3DTEXOPCAPS_SUBTRACT;
  caps->MaxTextureBlendStages = 1;
  caps->MaxSimultaneousTextures = 1;
  caps->MaxPointSize = 1.0f;
  caps->MaxPrimitiveCount = 0xFFFFF;
  caps->MaxVertexIndex = 0xFFFFF;
  caps->MaxStreams = 1;
  caps->MaxStreamStride = 255;
  return D3D_OK;
}

HRESULT Direct3D9::CreateDevice(UINT adapter, D3DDEVTYPE type, HWND focusWindow,
                                DWORD behaviorFlags, D3DPRESENT_PARAMETERS* parameters,
                                IDirect3DDevice9** device) {
  if (device == nullptr) return D3DERR_INVALIDCALL;
  *device = nullptr;
  if (parameters == nullptr) return D3DERR_INVALIDCALL;
  if (const HRESULT hr = CheckAdapter(adapter, type); FAILED(hr)) return hr;
  Device9* created = nullptr;
  const HRESULT hr = Device9::Create(this, type, focusWindow, behaviorFlags, parameters, &created);
  if (FAILED(hr)) return hr;
  *device = created;
  return D3D_OK;
}

void Direct3D9::EnterFullScreen(Device9* device, const D3DDISPLAYMODE& mode) {
  fullScreenDevice_ = device;
  fullScreenMode_ = mode;
}

void Direct3D9::LeaveFullScreen(Device9* device) {
  if (fullScreenDevice_ == device) fullScreenDevice_ = nullptr;
}

}  // namespace vm_d3d9
