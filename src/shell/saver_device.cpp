#include "shell/saver_device.h"

#include "dg/debug_log.h"

namespace shell {
namespace {

constexpr int kFrameWidth = 640;
constexpr int kFrameHeight = 480;
constexpr dg::TDGDebugOption kSaverLog = dg::dgoHaltOnError | dg::dgoDebugMessage;

// Whether adapter 0 lists a 640 x 480 mode in the format of the desktop: asking first
// spares a display without one the attempt to switch (and its dark second).
bool HasFrameMode(dg::TDGCarad& carad) {
  IDirect3D9* d3d = carad.D3D();
  if (d3d == nullptr) return false;
  const D3DFORMAT format = carad.GetAdapterDisplayMode(0).Format;
  const UINT count = d3d->GetAdapterModeCount(0, format);
  for (UINT i = 0; i < count; ++i) {
    D3DDISPLAYMODE mode{};
    if (d3d->EnumAdapterModes(0, format, i, &mode) == D3D_OK &&
        mode.Width == static_cast<UINT>(kFrameWidth) &&
        mode.Height == static_cast<UINT>(kFrameHeight)) {
      return true;
    }
  }
  return false;
}

}  // namespace

SaverDisplay StartSaverDevice(dg::TDGCarad& carad) {
  carad.SetDebugOption(kSaverLog);
  carad.UseREFDevice = false;
  carad.UseSoftwareVertexProcessing = false;
  carad.Loaded();
  if (HasFrameMode(carad)) {
    // A driver that refuses the switch is logged and leaves no device: the saver then draws
    // in a window at the desktop's mode rather than not at all.
    carad.SetDebugOption(dg::dgoDebugMessage);
    carad.SwitchToFullScreen(kFrameWidth, kFrameHeight, D3DFMT_A8R8G8B8, {}, 0,
                             D3DPRESENT_INTERVAL_IMMEDIATE, D3DSWAPEFFECT_DISCARD,
                             D3DMULTISAMPLE_NONE, 0);
    carad.SetDebugOption(kSaverLog);
    if (carad.Device() != nullptr) return SaverDisplay::kFullScreen;
  }
  dg::DebugLog("640 x 480 の全画面にできません。画面のモードのまま、拡大して表示します");
  carad.SwitchToWindow(kFrameWidth, kFrameHeight, {}, D3DPRESENT_INTERVAL_IMMEDIATE,
                       D3DSWAPEFFECT_DISCARD, D3DMULTISAMPLE_NONE, 0);
  return SaverDisplay::kScaled;
}

}  // namespace shell
