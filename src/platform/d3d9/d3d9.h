// The software Direct3D 9 device: the interfaces of the Direct3D 9 subset the system
// calls, with their real names, signatures and result codes, drawn by a CPU rasteriser.
//
// Objects are reference counted as in Direct3D: each creating call returns an object
// holding one reference, AddRef adds one, Release returns the remaining count and frees
// the object at 0. A device holds its IDirect3D9; every live texture and every surface
// handed out (back buffer, depth surface, texture level) holds its device, so a device
// whose resources are still referenced reports a count above 0 from Release.
//
// Beyond Direct3D, the interfaces carry a few "software device" calls for tests and
// tools (call recording, the last presented frame, the choice of rasteriser path).
#pragma once

#include <cstdint>
#include <vector>

#include "platform/d3d9/call_recorder.h"
#include "platform/d3d9/d3d9types.h"
#include "platform/d3d9/present_target.h"

class IDirect3DDevice9;

// What the emulated adapter can do. Tests build devices with other capabilities to play
// every kind of hardware the texture code must cope with.
struct SoftwareDeviceOptions {
  // Direct3DCreate9 returns NULL (no Direct3D at all).
  bool direct3DAvailable = true;
  // The HAL device type exists; without it GetDeviceCaps and CreateDevice of
  // D3DDEVTYPE_HAL fail with D3DERR_NOTAVAILABLE and only D3DDEVTYPE_REF works.
  bool halAvailable = true;
  bool pow2Only = false;    // D3DPTEXTURECAPS_POW2
  bool squareOnly = false;  // D3DPTEXTURECAPS_SQUAREONLY
  uint32_t maxTextureWidth = 8192;
  uint32_t maxTextureHeight = 8192;
  bool hardwareTransformAndLight = true;  // D3DDEVCAPS_HWTRANSFORMANDLIGHT
  bool blendOp = true;                    // D3DPMISCCAPS_BLENDOP; without it D3DRS_BLENDOP is ADD
  // Formats of which textures can be made, in no particular order.
  std::vector<D3DFORMAT> textureFormats = {D3DFMT_A8R8G8B8, D3DFMT_X8R8G8B8, D3DFMT_A4R4G4B4,
                                           D3DFMT_A1R5G5B5, D3DFMT_X1R5G5B5, D3DFMT_R5G6B5,
                                           D3DFMT_P8};
  // Depth-stencil formats the device can attach to a back buffer.
  std::vector<D3DFORMAT> depthFormats = {D3DFMT_D16, D3DFMT_D24S8, D3DFMT_D24X8, D3DFMT_D32};
  // The desktop's display mode. A full-screen device never changes the desktop: it is
  // reported as the adapter's mode while it exists, and its frames are scaled into the
  // window.
  D3DDISPLAYMODE desktopMode = {1920, 1080, 60, D3DFMT_X8R8G8B8};
  // Texture memory the device reports and allocates from (bytes).
  uint64_t textureMemory = 1024ull * 1024 * 1024;
};

// Options given to every later Direct3DCreate9: how tests choose the device that code
// creating its own Direct3D object will get.
void SetDefaultSoftwareDeviceOptions(const SoftwareDeviceOptions& options);
SoftwareDeviceOptions DefaultSoftwareDeviceOptions();

class IDirect3D9 {
 public:
  virtual ULONG AddRef() = 0;
  virtual ULONG Release() = 0;

  virtual UINT GetAdapterCount() = 0;
  virtual HRESULT GetAdapterIdentifier(UINT adapter, DWORD flags,
                                       D3DADAPTER_IDENTIFIER9* identifier) = 0;
  virtual HRESULT GetAdapterDisplayMode(UINT adapter, D3DDISPLAYMODE* mode) = 0;
  // The full-screen modes of `format`. Software device: full screen keeps the desktop and
  // scales its frames, so every size is one; it lists 640 x 480 and the desktop's.
  virtual UINT GetAdapterModeCount(UINT adapter, D3DFORMAT format) = 0;
  virtual HRESULT EnumAdapterModes(UINT adapter, D3DFORMAT format, UINT mode,
                                   D3DDISPLAYMODE* displayMode) = 0;
  virtual HRESULT CheckDeviceType(UINT adapter, D3DDEVTYPE type, D3DFORMAT adapterFormat,
                                  D3DFORMAT backBufferFormat, BOOL windowed) = 0;
  virtual HRESULT CheckDeviceFormat(UINT adapter, D3DDEVTYPE type, D3DFORMAT adapterFormat,
                                    DWORD usage, D3DRESOURCETYPE resourceType,
                                    D3DFORMAT checkFormat) = 0;
  virtual HRESULT CheckDepthStencilMatch(UINT adapter, D3DDEVTYPE type, D3DFORMAT adapterFormat,
                                         D3DFORMAT renderTargetFormat,
                                         D3DFORMAT depthStencilFormat) = 0;
  virtual HRESULT GetDeviceCaps(UINT adapter, D3DDEVTYPE type, D3DCAPS9* caps) = 0;
  virtual HRESULT CreateDevice(UINT adapter, D3DDEVTYPE type, HWND focusWindow, DWORD behaviorFlags,
                               D3DPRESENT_PARAMETERS* parameters, IDirect3DDevice9** device) = 0;

  // Software device: the options this object was created with.
  virtual const SoftwareDeviceOptions& Options() const = 0;

 protected:
  virtual ~IDirect3D9() = default;
};

class IDirect3DResource9 {
 public:
  virtual ULONG AddRef() = 0;
  virtual ULONG Release() = 0;
  virtual HRESULT GetDevice(IDirect3DDevice9** device) = 0;
  virtual D3DRESOURCETYPE GetType() = 0;

 protected:
  virtual ~IDirect3DResource9() = default;
};

class IDirect3DSurface9 : public IDirect3DResource9 {
 public:
  virtual HRESULT GetDesc(D3DSURFACE_DESC* desc) = 0;
  virtual HRESULT LockRect(D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags) = 0;
  virtual HRESULT UnlockRect() = 0;
};

class IDirect3DBaseTexture9 : public IDirect3DResource9 {
 public:
  virtual DWORD GetLevelCount() = 0;
};

class IDirect3DTexture9 : public IDirect3DBaseTexture9 {
 public:
  virtual HRESULT GetLevelDesc(UINT level, D3DSURFACE_DESC* desc) = 0;
  virtual HRESULT GetSurfaceLevel(UINT level, IDirect3DSurface9** surface) = 0;
  virtual HRESULT LockRect(UINT level, D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags) = 0;
  virtual HRESULT UnlockRect(UINT level) = 0;
};

// Which rasteriser draws. All give the same pixels; Plain exists so tests can check the
// fast paths against it. Fast uses the widest vector instructions the processor has,
// FastSse2 the baseline ones only.
enum class RasterPath { Fast, FastSse2, Plain };

class IDirect3DDevice9 {
 public:
  virtual ULONG AddRef() = 0;
  virtual ULONG Release() = 0;

  virtual HRESULT TestCooperativeLevel() = 0;
  virtual UINT GetAvailableTextureMem() = 0;
  virtual HRESULT GetDirect3D(IDirect3D9** direct3D) = 0;
  virtual HRESULT GetDeviceCaps(D3DCAPS9* caps) = 0;
  virtual HRESULT GetDisplayMode(UINT swapChain, D3DDISPLAYMODE* mode) = 0;
  virtual HRESULT Present(const RECT* sourceRect, const RECT* destRect, HWND destWindowOverride,
                          const RGNDATA* dirtyRegion) = 0;
  virtual HRESULT GetBackBuffer(UINT swapChain, UINT index, D3DBACKBUFFER_TYPE type,
                                IDirect3DSurface9** backBuffer) = 0;
  virtual HRESULT CreateTexture(UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format,
                                D3DPOOL pool, IDirect3DTexture9** texture,
                                HANDLE* sharedHandle) = 0;
  virtual HRESULT GetRenderTarget(DWORD index, IDirect3DSurface9** renderTarget) = 0;
  virtual HRESULT GetDepthStencilSurface(IDirect3DSurface9** depthStencil) = 0;
  virtual HRESULT BeginScene() = 0;
  virtual HRESULT EndScene() = 0;
  virtual HRESULT Clear(DWORD count, const D3DRECT* rects, DWORD flags, D3DCOLOR color, float z,
                        DWORD stencil) = 0;
  virtual HRESULT SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX* matrix) = 0;
  virtual HRESULT GetTransform(D3DTRANSFORMSTATETYPE state, D3DMATRIX* matrix) = 0;
  virtual HRESULT SetViewport(const D3DVIEWPORT9* viewport) = 0;
  virtual HRESULT GetViewport(D3DVIEWPORT9* viewport) = 0;
  virtual HRESULT SetScissorRect(const RECT* rect) = 0;
  virtual HRESULT GetScissorRect(RECT* rect) = 0;
  virtual HRESULT SetRenderState(D3DRENDERSTATETYPE state, DWORD value) = 0;
  virtual HRESULT GetRenderState(D3DRENDERSTATETYPE state, DWORD* value) = 0;
  virtual HRESULT GetTexture(DWORD stage, IDirect3DBaseTexture9** texture) = 0;
  virtual HRESULT SetTexture(DWORD stage, IDirect3DBaseTexture9* texture) = 0;
  virtual HRESULT GetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type,
                                       DWORD* value) = 0;
  virtual HRESULT SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD value) = 0;
  virtual HRESULT GetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD* value) = 0;
  virtual HRESULT SetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD value) = 0;
  virtual HRESULT SetFVF(DWORD fvf) = 0;
  virtual HRESULT GetFVF(DWORD* fvf) = 0;
  virtual HRESULT DrawPrimitiveUP(D3DPRIMITIVETYPE primitiveType, UINT primitiveCount,
                                  const void* vertexData, UINT vertexStride) = 0;

  // ---- Software device ----
  // The log of this device's calls; switch it on with Recorder().Start().
  virtual CallRecorder& Recorder() = 0;
  // The frame of the last Present (tightly packed, width x height pixels of the back
  // buffer's format); false before the first Present.
  virtual bool GetLastPresentedFrame(std::vector<uint32_t>* pixels, UINT* width, UINT* height) = 0;
  virtual void SetRasterPath(RasterPath path) = 0;

 protected:
  virtual ~IDirect3DDevice9() = default;
};

// Creates the Direct3D object with the default options (SetDefaultSoftwareDeviceOptions).
// Returns NULL for an SDK version other than D3D_SDK_VERSION, or when the options say
// Direct3D is unavailable.
IDirect3D9* Direct3DCreate9(UINT sdkVersion);
IDirect3D9* Direct3DCreate9WithOptions(UINT sdkVersion, const SoftwareDeviceOptions& options);
