// The device wrapper: owns the Direct3D object and the device that draw into one window,
// creates the device windowed or full screen, and keeps the registry of device-dependent
// objects (textures, scenes, text writers) so that they let go of their device objects
// before a device is released and rebuild them once a new device exists.
//
// Every step is written to the debug log. The wrapper never resets a lost device: clients
// test the device before each frame and stop when it is lost.
//
// Life cycle: construct (inert), set the published properties (DebugOption, UseREFDevice,
// UseSoftwareVertexProcessing), then Loaded() creates Direct3D and a windowed device of
// the window's client size. The destructor destroys resources still registered, then the
// device and Direct3D.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/d3d9/d3d9.h"

namespace dg {

enum TDGDebugOptionFlag : std::uint32_t {
  dgoHaltOnError = 1u << 0,
  dgoDebugMessage = 1u << 1,
  dgoDetailedLog = 1u << 2,
};
using TDGDebugOption = std::uint32_t;  // a set of TDGDebugOptionFlag

// Texture formats with alpha, in the order textures prefer them.
inline const std::vector<D3DFORMAT> DGAlphaFormats = {D3DFMT_A8R8G8B8, D3DFMT_A4R4G4B4,
                                                      D3DFMT_A1R5G5B5};

// Raised by the constructor when the window already has a wrapper.
class EDGCaradError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class TDGCarad;

// A device-dependent object. It registers with its wrapper in its constructor and
// unregisters in its destructor; the wrapper calls the notifications around every device
// re-creation. The default notifications do nothing.
class TDGResource {
 public:
  virtual ~TDGResource() = default;

  // Class name for the log ("TDGTexture").
  virtual const char* ClassName() const = 0;

  // Before the device is released: let go of every device object.
  virtual void DeviceRelease() {}
  // After a new device exists: make the device objects again.
  virtual void DeviceRebuild() {}
  // Slots for a device reset; the wrapper never raises them.
  virtual void DeviceLost() {}
  virtual void DeviceReset() {}

  // The wrapper is being destroyed while this object is still registered: release the
  // device objects and unregister, as the destructor would. Afterwards the object no
  // longer refers to its wrapper, so its owner may still destroy it safely.
  virtual void DestroyByWrapper() = 0;
};

class TDGCarad {
 public:
  // `owner` is the window the device presents to, or nullptr for a headless wrapper: its
  // device keeps the last presented frame, and its client size is kept by the wrapper
  // (640 x 480 until a switch sets another). Throws EDGCaradError when `owner` already has
  // a wrapper.
  explicit TDGCarad(HWND owner);
  ~TDGCarad();
  TDGCarad(const TDGCarad&) = delete;
  TDGCarad& operator=(const TDGCarad&) = delete;

  // Published properties; apply them before Loaded(). Setting DebugOption updates the
  // process-wide log flags at once.
  TDGDebugOption DebugOption() const { return debugOption_; }
  void SetDebugOption(TDGDebugOption option);
  bool UseREFDevice = false;
  bool UseSoftwareVertexProcessing = false;

  // Start-up: Direct3D, then a windowed device of the owner's client size.
  void Loaded();

  void SwitchToWindow(int width, int height, const std::vector<D3DFORMAT>& depthFormats,
                      UINT presentationInterval, D3DSWAPEFFECT swapEffect,
                      D3DMULTISAMPLE_TYPE multiSampleType, UINT adapter);
  void SwitchToFullScreen(int width, int height, D3DFORMAT backBufferFormat,
                          const std::vector<D3DFORMAT>& depthFormats, UINT refreshRate,
                          UINT presentationInterval, D3DSWAPEFFECT swapEffect,
                          D3DMULTISAMPLE_TYPE multiSampleType, UINT adapter);
  void ReleaseDevice();
  D3DDISPLAYMODE GetAdapterDisplayMode(UINT adapter);

  // Registry.
  std::int32_t RegisterResource(TDGResource* object, const std::string& name);
  void UnregisterResource(std::int32_t id);
  void ReleaseAllResources();
  void RebuildAllResources();

  // Readable state.
  IDirect3D9* D3D() const { return d3d_; }
  IDirect3DDevice9* Device() const { return device_; }
  IDirect3DSurface9* BackBuffers(std::size_t index) const { return backBuffers_.at(index); }
  std::size_t BackBufferCount() const { return backBufferCount_; }
  IDirect3DSurface9* DepthStencil() const { return depthStencil_; }
  bool Windowed() const { return windowed_; }
  D3DFORMAT BackBufferFormat() const { return backBufferFormat_; }
  UINT ScreenWidth() const { return screenWidth_; }
  UINT ScreenHeight() const { return screenHeight_; }
  HWND Owner() const { return owner_; }
  const D3DPRESENT_PARAMETERS& PresentParams() const { return presentParams_; }
  UINT Adapter() const { return adapter_; }
  D3DDEVTYPE DeviceType() const { return deviceType_; }

  // Registry ids in registration order (for inspection).
  std::vector<std::int32_t> ResourceIDs() const;

 private:
  struct TDGResourceDesc {
    std::int32_t id;
    std::string name;
    TDGResource* object;
  };

  void InitDisplayMode(UINT adapter, bool windowed, const D3DDISPLAYMODE& mode,
                       D3DMULTISAMPLE_TYPE multiSampleType,
                       const std::vector<D3DFORMAT>& depthFormats, D3DSWAPEFFECT swapEffect,
                       UINT presentationInterval);
  D3DFORMAT FindDepthStencilFormat(D3DDEVTYPE type, UINT adapter,
                                   const D3DPRESENT_PARAMETERS& params,
                                   const std::vector<D3DFORMAT>& depthFormats);
  void CreateDevice(UINT adapter, D3DDEVTYPE type, D3DPRESENT_PARAMETERS& params,
                    DWORD behaviorFlags);
  int ClientWidth() const;
  int ClientHeight() const;
  void ResizeClient(int width, int height);

  IDirect3D9* d3d_ = nullptr;
  IDirect3DDevice9* device_ = nullptr;
  std::vector<IDirect3DSurface9*> backBuffers_;
  IDirect3DSurface9* depthStencil_ = nullptr;
  std::size_t backBufferCount_ = 0;
  TDGDebugOption debugOption_ = dgoHaltOnError | dgoDebugMessage | dgoDetailedLog;
  bool windowed_ = false;
  D3DFORMAT backBufferFormat_ = D3DFMT_UNKNOWN;
  UINT screenWidth_ = 0;
  UINT screenHeight_ = 0;
  HWND owner_;
  D3DPRESENT_PARAMETERS presentParams_{};
  UINT adapter_ = 0;
  D3DDEVTYPE deviceType_ = D3DDEVTYPE_HAL;
  std::int32_t nextResourceID_ = 0;
  std::vector<TDGResourceDesc> resources_;
  bool started_ = false;
  // Client size of a headless wrapper.
  int headlessWidth_ = 640;
  int headlessHeight_ = 480;
};

}  // namespace dg
