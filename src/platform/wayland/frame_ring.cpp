#include "platform/wayland/frame_ring.h"

#include <cstddef>
#include <cstring>

namespace platform {

void FrameRing::Reset(int width, int height) {
  width_ = width;
  height_ = height;
  copies_.clear();
}

int FrameRing::Add(std::uint32_t* pixels) {
  copies_.push_back(Copy{pixels, false, StaleArea{}});
  return Size() - 1;
}

void FrameRing::Changed(const FrameChanges& changes) {
  for (Copy& copy : copies_) copy.stale.Add(changes);
}

int FrameRing::Free() const {
  for (int i = 0; i < Size(); ++i)
    if (!copies_[static_cast<std::size_t>(i)].held) return i;
  return -1;
}

void FrameRing::FillAndHold(int index, const std::uint32_t* source, int pitch) {
  Copy& copy = copies_[static_cast<std::size_t>(index)];
  std::array<ChangedRect, StaleArea::kMaxRects> rects;
  const int n = copy.stale.Rects(width_, height_, rects);
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(source);
  for (int i = 0; i < n; ++i) {
    const ChangedRect& r = rects[static_cast<std::size_t>(i)];
    const std::size_t rowBytes = static_cast<std::size_t>(r.right - r.left) * 4;
    for (int y = r.top; y < r.bottom; ++y)
      std::memcpy(copy.pixels + static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) +
                      static_cast<std::size_t>(r.left),
                  bytes + static_cast<std::ptrdiff_t>(y) * pitch + std::ptrdiff_t{r.left} * 4,
                  rowBytes);
  }
  copy.stale.Clear();
  copy.held = true;
}

void FrameRing::Release(int index) {
  if (index >= 0 && index < Size()) copies_[static_cast<std::size_t>(index)].held = false;
}

}  // namespace platform
