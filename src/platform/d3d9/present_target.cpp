#include "platform/d3d9/present_target.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

PresentTarget::~PresentTarget() { NotifyGone(); }

void PresentTarget::AddWatcher(PresentTargetWatcher* watcher) {
  if (std::find(watchers_.begin(), watchers_.end(), watcher) == watchers_.end()) {
    watchers_.push_back(watcher);
  }
}

void PresentTarget::RemoveWatcher(PresentTargetWatcher* watcher) {
  watchers_.erase(std::remove(watchers_.begin(), watchers_.end(), watcher), watchers_.end());
}

void PresentTarget::NotifyGone() {
  // A watcher may remove itself while being told, so work on a detached copy.
  std::vector<PresentTargetWatcher*> watchers;
  watchers.swap(watchers_);
  for (PresentTargetWatcher* watcher : watchers) watcher->OnPresentTargetGone();
}

FrameTarget::FrameTarget(int clientWidth, int clientHeight)
    : clientWidth_(clientWidth), clientHeight_(clientHeight) {}

FrameTarget::~FrameTarget() { NotifyGone(); }

void FrameTarget::Show(const uint32_t* pixels, int width, int height, int pitch) {
  if (width <= 0 || height <= 0) return;
  frame_.resize(static_cast<size_t>(width) * static_cast<size_t>(height));
  for (int y = 0; y < height; ++y) {
    std::memcpy(frame_.data() + static_cast<size_t>(y) * static_cast<size_t>(width),
                reinterpret_cast<const uint8_t*>(pixels) + static_cast<ptrdiff_t>(y) * pitch,
                static_cast<size_t>(width) * 4);
  }
  frameWidth_ = width;
  frameHeight_ = height;
  ++framesShown_;
}

void FrameTarget::ResizeClient(int width, int height) {
  clientWidth_ = width;
  clientHeight_ = height;
}
