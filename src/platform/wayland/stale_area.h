// What a copy of the frame misses of the newest frame: the buffer the compositor gave
// back some frames ago, or what an output's surface shows. Whatever changed in any frame
// since the copy was last brought up to date is stale in it, not just the newest frame's
// changes.
#pragma once

#include <array>

#include "platform/d3d9/present_target.h"

namespace platform {

class StaleArea {
 public:
  static constexpr int kMaxRects = FrameChanges::kMaxRects;

  // A copy that holds nothing yet is stale everywhere.
  StaleArea() = default;
  // Just what `changes` changed.
  static StaleArea Of(const FrameChanges& changes);

  void MarkWhole();
  // Adds a frame's changes (all of it when the changes say so).
  void Add(const FrameChanges& changes);
  void Add(const ChangedRect& rect);
  void Clear();

  bool Whole() const { return whole_; }
  bool Empty() const { return !whole_ && count_ == 0; }
  // The stale rectangles inside a width x height frame (they may overlap); the whole frame
  // as one when Whole().
  int Rects(int width, int height, std::array<ChangedRect, kMaxRects>& out) const;

 private:
  bool whole_ = true;
  int count_ = 0;
  std::array<ChangedRect, kMaxRects> rects_{};
};

}  // namespace platform
