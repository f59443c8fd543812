// Copies of the frame that the program and the compositor take turns with: the program
// brings a copy the compositor does not hold up to the newest frame and hands it over;
// the compositor gives it back when it has done with it, frames later. A copy given back
// misses every change made while it was away, and gets all of them when filled again.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/wayland/stale_area.h"

namespace platform {

class FrameRing {
 public:
  // Drops every copy; the copies added next hold frames of width x height pixels.
  void Reset(int width, int height);
  // Adds a copy at `pixels` (width x height, rows packed), stale everywhere, not held.
  // Returns its index.
  int Add(std::uint32_t* pixels);
  int Size() const { return static_cast<int>(copies_.size()); }
  int Width() const { return width_; }
  int Height() const { return height_; }

  // The newest frame differs from the one before by `changes`: every copy misses them.
  void Changed(const FrameChanges& changes);
  // A copy the compositor does not hold, or -1.
  int Free() const;
  // Brings copy `index` up to `source` (rows `pitch` bytes apart) where it is stale, and
  // marks it held.
  void FillAndHold(int index, const std::uint32_t* source, int pitch);
  void Release(int index);
  bool Held(int index) const { return copies_[static_cast<std::size_t>(index)].held; }

 private:
  struct Copy {
    std::uint32_t* pixels = nullptr;
    bool held = false;
    StaleArea stale;
  };
  int width_ = 0;
  int height_ = 0;
  std::vector<Copy> copies_;
};

}  // namespace platform
