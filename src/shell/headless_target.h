// Where the headless saver's device draws, and the frames it presented: the software device's
// window target on Linux; on Windows a window of its own for the system's device, whose
// frames are read back from the back buffer before they are presented.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/d3d9/d3d9.h"

namespace shell {

struct Frame {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> pixels;  // 0xAARRGGBB, rows top to bottom; alpha undefined
  std::uint32_t At(int x, int y) const {
    return pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                  static_cast<std::size_t>(x)] &
           0x00FFFFFFu;
  }
};

class HeadlessTarget {
 public:
  HeadlessTarget();  // 640 x 480
  ~HeadlessTarget();
  HeadlessTarget(const HeadlessTarget&) = delete;
  HeadlessTarget& operator=(const HeadlessTarget&) = delete;

  // The window the device wrapper is made on.
  HWND Owner();
  // Called with each finished frame before it is presented.
  void FramePresenting(IDirect3DDevice9& device);
  // Whether the frames presented from now on are kept. On Windows keeping a frame is a copy
  // on the device, so the headless saver keeps only those of a run's last tick; the software
  // device keeps every frame anyway.
  void KeepFrames(bool keep);
  // The last frame kept; empty before the first.
  Frame LastFrame() const;
  // Frees what it holds of the device, keeping the last frame; before the device goes.
  void ReleaseDeviceObjects();

 private:
  struct State;
  std::unique_ptr<State> state_;
};

}  // namespace shell
