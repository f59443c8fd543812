#include "platform/wayland/stale_area.h"

#include <algorithm>

namespace platform {

StaleArea StaleArea::Of(const FrameChanges& changes) {
  StaleArea area;
  area.Clear();
  area.Add(changes);
  return area;
}

void StaleArea::MarkWhole() {
  whole_ = true;
  count_ = 0;
}

void StaleArea::Add(const FrameChanges& changes) {
  if (changes.whole) {
    MarkWhole();
    return;
  }
  for (int i = 0; i < changes.count; ++i) Add(changes.rects[i]);
}

void StaleArea::Add(const ChangedRect& rect) {
  if (whole_ || rect.left >= rect.right || rect.top >= rect.bottom) return;
  for (int i = 0; i < count_; ++i) {
    const ChangedRect& r = rects_[static_cast<std::size_t>(i)];
    if (r.left <= rect.left && r.top <= rect.top && r.right >= rect.right &&
        r.bottom >= rect.bottom)
      return;
  }
  if (count_ < kMaxRects) {
    rects_[static_cast<std::size_t>(count_++)] = rect;
    return;
  }
  // Full: everything stale so far and the new one become their bounding box. It copies
  // pixels that did not change, never misses one that did.
  ChangedRect box = rect;
  for (const ChangedRect& r : rects_) {
    box.left = std::min(box.left, r.left);
    box.top = std::min(box.top, r.top);
    box.right = std::max(box.right, r.right);
    box.bottom = std::max(box.bottom, r.bottom);
  }
  rects_[0] = box;
  count_ = 1;
}

void StaleArea::Clear() {
  whole_ = false;
  count_ = 0;
}

int StaleArea::Rects(int width, int height, std::array<ChangedRect, kMaxRects>& out) const {
  if (whole_) {
    out[0] = {0, 0, width, height};
    return width > 0 && height > 0 ? 1 : 0;
  }
  int n = 0;
  for (int i = 0; i < count_; ++i) {
    const ChangedRect& r = rects_[static_cast<std::size_t>(i)];
    const ChangedRect clipped{std::max(r.left, 0), std::max(r.top, 0), std::min(r.right, width),
                              std::min(r.bottom, height)};
    if (clipped.left < clipped.right && clipped.top < clipped.bottom)
      out[static_cast<std::size_t>(n++)] = clipped;
  }
  return n;
}

}  // namespace platform
