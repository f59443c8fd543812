#include "platform/ui/fan_out_target.h"

FanOutTarget::FanOutTarget(std::vector<PresentTarget*> targets) : targets_(std::move(targets)) {}

FanOutTarget::~FanOutTarget() { NotifyGone(); }

void FanOutTarget::Show(const uint32_t* pixels, int width, int height, int pitch) {
  for (PresentTarget* target : targets_) target->Show(pixels, width, height, pitch);
}

void FanOutTarget::ShowChanges(const uint32_t* pixels, int width, int height, int pitch,
                               const FrameChanges& changes) {
  for (PresentTarget* target : targets_) target->ShowChanges(pixels, width, height, pitch, changes);
}

void FanOutTarget::ResizeClient(int width, int height) {
  targets_.front()->ResizeClient(width, height);
}

void FanOutTarget::SetMode(Mode mode) { targets_.front()->SetMode(mode); }
