// Presenting: the frame goes to its target with the rows that changed since the last
// frame shown there.
#include <cstring>

#include "platform/d3d9/device.h"

namespace vm_d3d9 {
namespace {

// Index of the first and one past the last pixel where a and b differ (n > 0, a != b).
void DifferingSpan(const uint32_t* a, const uint32_t* b, int n, int* first, int* end) {
  int lo = 0;
  while (lo < n && a[lo] == b[lo]) ++lo;
  int hi = n;
  while (hi > lo && a[hi - 1] == b[hi - 1]) --hi;
  *first = lo;
  *end = hi;
}

}  // namespace

HRESULT Device9::Present(const RECT* sourceRect, const RECT* destRect, HWND destWindowOverride,
                         const RGNDATA* dirtyRegion) {
  recorder_.Record("Present", {Address(sourceRect), Address(destRect), Address(destWindowOverride),
                               Address(dirtyRegion)});
  if (lost_) return D3DERR_DEVICELOST;
  Flush();
  const SurfaceMemory& frame = backBuffers_.front()->memory;
  const int width = static_cast<int>(frame.width), height = static_cast<int>(frame.height);
  PresentTarget* target = destWindowOverride != nullptr ? destWindowOverride : target_;
  FrameChanges changes;
  changes.presenter = this;
  const bool sameSize = lastFrameWidth_ == frame.width && lastFrameHeight_ == frame.height;
  // The target that last showed the kept frame may still show from it.
  if (target != lastShownTarget_ && lastFrame_.use_count() > 1)
    lastFrame_ = std::make_shared<std::vector<uint32_t>>(*lastFrame_);
  changes.whole = !sameSize || target != lastShownTarget_;
  const auto row = [&](int y) {
    return reinterpret_cast<const uint32_t*>(frame.bits.get() +
                                             static_cast<ptrdiff_t>(y) * frame.pitch);
  };
  if (sameSize && damageValid_ && damage_.size() <= static_cast<size_t>(FrameChanges::kMaxRects)) {
    // Only what was redrawn can differ from the last frame.
    for (const ChangedRect& r : damage_) {
      for (int y = r.top; y < r.bottom; ++y) {
        std::memcpy(
            lastFrame_->data() + static_cast<size_t>(y) * static_cast<size_t>(width) + r.left,
            row(y) + r.left, static_cast<size_t>(r.right - r.left) * 4);
      }
      changes.rects[changes.count++] = r;
    }
  } else {
    // Keeping the presented frame costs one pass over it: rows equal to the last frame's
    // are compared at memory speed and not copied, and their absence is what the target
    // is told.
    if (!sameSize) {
      lastFrame_ = std::make_shared<std::vector<uint32_t>>(static_cast<size_t>(width) *
                                                           static_cast<size_t>(height));
    }
    ChangedRect* band = nullptr;
    for (int y = 0; y < height; ++y) {
      const uint32_t* src = row(y);
      uint32_t* kept = lastFrame_->data() + static_cast<size_t>(y) * static_cast<size_t>(width);
      if (!sameSize) {
        std::memcpy(kept, src, static_cast<size_t>(width) * 4);
        continue;
      }
      if (std::memcmp(kept, src, static_cast<size_t>(width) * 4) == 0) continue;
      int first = 0, end = 0;
      DifferingSpan(src, kept, width, &first, &end);
      std::memcpy(kept + first, src + first, static_cast<size_t>(end - first) * 4);
      // Consecutive changed rows grow one band; the last band takes whatever is left
      // once all are in use.
      if (band != nullptr && (band->bottom == y || changes.count == FrameChanges::kMaxRects)) {
        band->left = std::min(band->left, first);
        band->right = std::max(band->right, end);
        band->bottom = y + 1;
      } else {
        band = &changes.rects[changes.count++];
        *band = {first, y, end, y + 1};
      }
    }
  }
  lastFrameWidth_ = frame.width;
  lastFrameHeight_ = frame.height;
  lastShownTarget_ = target;
  previous_.swap(frame_);
  ForgetOperations(&frame_);  // the one before this
  executed_ = 0;
  previousInBuffer_ = deferring_ && !bufferLocked_ && StartsWithWholeClear(previous_);
  bufferLocked_ = false;
  damageValid_ = false;
  changes.kept = lastFrame_;
  if (target != nullptr) {
    target->ShowChanges(reinterpret_cast<const uint32_t*>(frame.bits.get()), width, height,
                        frame.pitch, changes);
  }
  return D3D_OK;
}

bool Device9::GetLastPresentedFrame(std::vector<uint32_t>* pixels, UINT* width, UINT* height) {
  if (lastFrameWidth_ == 0) return false;
  if (pixels != nullptr) *pixels = *lastFrame_;
  if (width != nullptr) *width = lastFrameWidth_;
  if (height != nullptr) *height = lastFrameHeight_;
  return true;
}
}  // namespace vm_d3d9
