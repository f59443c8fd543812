#include "shell/headless_target.h"

namespace shell {

// The software device presents into the target, which keeps the frame.
struct HeadlessTarget::State {
  FrameTarget target{640, 480};
};

HeadlessTarget::HeadlessTarget() : state_(std::make_unique<State>()) {}
HeadlessTarget::~HeadlessTarget() = default;

HWND HeadlessTarget::Owner() { return &state_->target; }

void HeadlessTarget::FramePresenting(IDirect3DDevice9& /*device*/) {}

void HeadlessTarget::KeepFrames(bool /*keep*/) {}

void HeadlessTarget::ReleaseDeviceObjects() {}

Frame HeadlessTarget::LastFrame() const {
  Frame frame;
  frame.width = state_->target.FrameWidth();
  frame.height = state_->target.FrameHeight();
  frame.pixels = state_->target.Frame();
  return frame;
}

}  // namespace shell
