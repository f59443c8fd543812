#include "shell/headless_target.h"

#include "shell/windows/frame_copy.h"

namespace shell {

// A top-level pop-up the size of the frame, for the device to go full screen on. The back
// buffer's contents are undefined once presented, so each kept frame is copied on the device
// into a render target of ours first (cheap), and read back from there only when asked for
// (slow under Wine).
struct HeadlessTarget::State {
  HWND window = nullptr;
  bool keep = true;
  IDirect3DDevice9* device = nullptr;  // of the copy
  IDirect3DSurface9* copy = nullptr;
  bool copied = false;  // the copy holds a frame not yet read back
  FrameCopy last;

  void ReleaseCopy() {
    if (copy != nullptr) copy->Release();
    copy = nullptr;
    device = nullptr;
  }
};

namespace {

HWND MakeWindow() {
  static const ATOM windowClass = [] {
    WNDCLASSW description{};
    description.lpfnWndProc = DefWindowProcW;
    description.hInstance = GetModuleHandleW(nullptr);
    description.lpszClassName = L"VelmorandiHeadless";
    return RegisterClassW(&description);
  }();
  if (windowClass == 0) return nullptr;
  return CreateWindowExW(0, L"VelmorandiHeadless", L"Velmorandi", WS_POPUP, 0, 0, 640, 480, nullptr,
                         nullptr, GetModuleHandleW(nullptr), nullptr);
}

}  // namespace

HeadlessTarget::HeadlessTarget() : state_(std::make_unique<State>()) {
  state_->window = MakeWindow();
}

HeadlessTarget::~HeadlessTarget() {
  state_->ReleaseCopy();
  if (state_->window != nullptr) DestroyWindow(state_->window);
}

HWND HeadlessTarget::Owner() { return state_->window; }

void HeadlessTarget::FramePresenting(IDirect3DDevice9& device) {
  State& s = *state_;
  if (!s.keep) return;
  IDirect3DSurface9* back = nullptr;
  if (FAILED(device.GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &back))) return;
  D3DSURFACE_DESC desc{};
  back->GetDesc(&desc);
  if (s.device != &device) {
    s.ReleaseCopy();
    if (SUCCEEDED(device.CreateRenderTarget(desc.Width, desc.Height, desc.Format,
                                            D3DMULTISAMPLE_NONE, 0, FALSE, &s.copy, nullptr))) {
      s.device = &device;
    }
  }
  s.copied = s.copy != nullptr &&
             SUCCEEDED(device.StretchRect(back, nullptr, s.copy, nullptr, D3DTEXF_NONE));
  if (!s.copied) s.last = ReadBackBuffer(device);
  back->Release();
}

void HeadlessTarget::KeepFrames(bool keep) { state_->keep = keep; }

void HeadlessTarget::ReleaseDeviceObjects() {
  LastFrame();
  state_->ReleaseCopy();
}

Frame HeadlessTarget::LastFrame() const {
  State& s = *state_;
  if (s.copied) {
    s.last = ReadRenderTarget(*s.device, *s.copy);
    s.copied = false;
  }
  Frame frame;
  if (!s.last.error.empty()) return frame;
  frame.width = s.last.width;
  frame.height = s.last.height;
  frame.pixels.reserve(s.last.rgb.size() / 3);
  for (std::size_t i = 0; i + 2 < s.last.rgb.size(); i += 3) {
    frame.pixels.push_back(0xFF000000u | std::uint32_t{s.last.rgb[i]} << 16 |
                           std::uint32_t{s.last.rgb[i + 1]} << 8 | s.last.rgb[i + 2]);
  }
  return frame;
}

}  // namespace shell
