// Presenting: the frame goes to its target with what was redrawn since the last frame
// shown there.
#include "platform/d3d9/device.h"

namespace vm_d3d9 {

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
    for (const ChangedRect& r : damage_) changes.rects[changes.count++] = r;
  }
  presentWhole_ = false;
  lastFrameWidth_ = frame.width;
  lastFrameHeight_ = frame.height;
  lastShownTarget_ = target;
  previous_.swap(frame_);
  ForgetOperations(&frame_);  // the one before this
  underlays_.swap(nextUnderlays_);
  nextUnderlays_.clear();
  executed_ = 0;
  previousInBuffer_ = deferring_ && !bufferLocked_ && StartsWithWholeClear(previous_);
  // From here on the buffer holds the frame just presented (whatever wrote it), and damage_
  // follows what the next frame changes of it.
  damage_.clear();
  damageValid_ = true;
  bufferLocked_ = false;
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
