// Another program's X window as the place a device presents to: each frame is scaled into
// it with its aspect ratio kept (black bars around), following the window's size as its
// owner changes it. The target uses a connection of its own; it never creates, maps,
// resizes or grabs anything, and reads no input.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/d3d9/present_target.h"
#include "platform/ui/x_frame_painter.h"

struct xcb_connection_t;

namespace platform {

class XWindowTarget final : public PresentTarget {
 public:
  // Connects to $DISPLAY and watches `window`; 0 means the root window of the default
  // screen. Null, with `error` set, when there is no display or no such window, or the
  // window's pixels are not 32 bits in the server's order.
  static std::unique_ptr<XWindowTarget> Open(std::uint32_t window, std::string& error);
  ~XWindowTarget() override;

  void Show(const uint32_t* pixels, int width, int height, int pitch) override;
  void ShowChanges(const uint32_t* pixels, int width, int height, int pitch,
                   const FrameChanges& changes) override;
  int ClientWidth() const override { return width_; }
  int ClientHeight() const override { return height_; }
  // The window is its owner's to size.
  void ResizeClient(int width, int height) override;

  // Handles the events that have come (size changes, exposure); false once the window
  // has been destroyed or the connection to the X server is lost.
  bool HandleEvents();

  std::uint32_t Window() const { return window_; }
  // Frames written to the window so far (whole or in part).
  int FramesShown() const { return framesShown_; }

 private:
  XWindowTarget(xcb_connection_t* connection, std::uint32_t window);
  bool Start(std::string& error);
  // Where the frame lands in the window: x, y, width, height.
  struct Rect {
    int x = 0, y = 0, w = 0, h = 0;
  };
  Rect FrameRect() const;
  void Layout();
  void DrawWhole();
  // The last frame as the painter reads it; null before the first.
  QImage Shown() const;
  // Scales window pixels [x0, x1) x [y0, y1) of the frame's place and sends them.
  void DrawArea(int x0, int y0, int x1, int y1);

  xcb_connection_t* connection_;
  std::uint32_t window_;
  std::uint32_t gc_ = 0;
  std::uint8_t depth_ = 0;
  int width_ = 0;
  int height_ = 0;
  bool gone_ = false;
  int framesShown_ = 0;

  // The last frame, packed: the presenter's kept copy when it offers one, else our own.
  std::shared_ptr<const std::uint32_t> kept_;
  std::vector<std::uint32_t> frame_;
  mutable QImage view_;  // the last view Shown() made
  int frameWidth_ = 0;
  int frameHeight_ = 0;
  const void* presenter_ = nullptr;
  Rect layout_;  // where the frame lands
  std::unique_ptr<XFramePainter> painter_;
};

}  // namespace platform
