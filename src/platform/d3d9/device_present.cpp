// Presenting: the frame goes to its target with what was redrawn since the last frame
// shown there.
#include <algorithm>
#include <cstdint>

#include "platform/d3d9/device.h"

namespace vm_d3d9 {
namespace {

int64_t Area(const ChangedRect& r) { return int64_t{r.right - r.left} * (r.bottom - r.top); }

ChangedRect Union(const ChangedRect& a, const ChangedRect& b) {
  return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
          std::max(a.bottom, b.bottom)};
}

bool Overlap(const ChangedRect& a, const ChangedRect& b) {
  return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

// Joins rectangles that share no pixel into at most `most` that still share none and
// cover them all: each step joins the two whose union adds the least area, then whatever
// that union now overlaps.
void MergeInto(std::vector<ChangedRect>& boxes, size_t most) {
  while (boxes.size() > most) {
    size_t a = 0, b = 1;
    int64_t best = INT64_MAX;
    for (size_t i = 0; i < boxes.size(); ++i) {
      for (size_t j = i + 1; j < boxes.size(); ++j) {
        const int64_t added = Area(Union(boxes[i], boxes[j])) - Area(boxes[i]) - Area(boxes[j]);
        if (added < best) {
          best = added;
          a = i;
          b = j;
        }
      }
    }
    ChangedRect joined = Union(boxes[a], boxes[b]);
    boxes.erase(boxes.begin() + static_cast<ptrdiff_t>(b));
    boxes.erase(boxes.begin() + static_cast<ptrdiff_t>(a));
    for (bool grew = true; grew;) {
      grew = false;
      for (size_t k = 0; k < boxes.size(); ++k) {
        if (!Overlap(joined, boxes[k])) continue;
        joined = Union(joined, boxes[k]);
        boxes.erase(boxes.begin() + static_cast<ptrdiff_t>(k));
        grew = true;
        break;
      }
    }
    boxes.push_back(joined);
  }
}

}  // namespace

HRESULT Device9::Present(const RECT* sourceRect, const RECT* destRect, HWND destWindowOverride,
                         const RGNDATA* dirtyRegion) {
  recorder_.Record("Present", {Address(sourceRect), Address(destRect), Address(destWindowOverride),
                               Address(dirtyRegion)});
  if (lost_) return D3DERR_DEVICELOST;
  PresentTarget* target = destWindowOverride != nullptr ? destWindowOverride : target_;
  // The target that showed the last frame may go on showing it from the buffer's storage.
  if (target != lastShownTarget_) KeepPresentedFrame();
  presenting_ = true;
  Flush();
  presenting_ = false;
  const SurfaceMemory& frame = backBuffers_.front()->memory;
  const int width = static_cast<int>(frame.width), height = static_cast<int>(frame.height);
  FrameChanges changes;
  changes.presenter = this;
  const bool sameSize = lastFrameWidth_ == frame.width && lastFrameHeight_ == frame.height;
  // Only what was redrawn can differ from the last frame; a frame drawn whole is handed
  // over whole (comparing it with the last would need a copy of that).
  changes.whole = !sameSize || target != lastShownTarget_ || presentWhole_ || !damageValid_;
  if (!changes.whole) {
    MergeInto(damage_, FrameChanges::kMaxRects);
    for (const ChangedRect& r : damage_) changes.rects[changes.count++] = r;
  }
  presentWhole_ = false;
  lastFrameWidth_ = frame.width;
  lastFrameHeight_ = frame.height;
  lastShownTarget_ = target;
  previous_.swap(frame_);
  ForgetOperations(&frame_);  // the one before this
  executed_ = 0;
  previousInBuffer_ = deferring_ && !bufferLocked_ && StartsWithWholeClear(previous_);
  bufferLocked_ = false;
  damageValid_ = false;
  presented_ = frame.bits;
  // Back buffers hold 32-bit pixels in rows of exactly width pixels.
  changes.kept = std::shared_ptr<const uint32_t>(
      frame.bits, reinterpret_cast<const uint32_t*>(frame.bits.get()));
  if (target != nullptr) {
    target->ShowChanges(reinterpret_cast<const uint32_t*>(frame.bits.get()), width, height,
                        frame.pitch, changes);
  }
  return D3D_OK;
}

bool Device9::GetLastPresentedFrame(std::vector<uint32_t>* pixels, UINT* width, UINT* height) {
  if (presented_ == nullptr) return false;
  if (pixels != nullptr) {
    const auto* first = reinterpret_cast<const uint32_t*>(presented_.get());
    pixels->assign(first, first + static_cast<size_t>(lastFrameWidth_) * lastFrameHeight_);
  }
  if (width != nullptr) *width = lastFrameWidth_;
  if (height != nullptr) *height = lastFrameHeight_;
  return true;
}
}  // namespace vm_d3d9
