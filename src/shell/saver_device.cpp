#include "shell/saver_device.h"

namespace shell {

void StartSaverDevice(dg::TDGCarad& carad) {
  carad.SetDebugOption(dg::dgoHaltOnError | dg::dgoDebugMessage);
  carad.UseREFDevice = false;
  carad.UseSoftwareVertexProcessing = false;
  carad.Loaded();
  carad.SwitchToFullScreen(640, 480, D3DFMT_A8R8G8B8, {}, 0, D3DPRESENT_INTERVAL_IMMEDIATE,
                           D3DSWAPEFFECT_DISCARD, D3DMULTISAMPLE_NONE, 0);
}

}  // namespace shell
