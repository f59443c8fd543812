// The saver on one output: a full-screen toplevel whose own surface is black over the
// whole output (a 1 x 1 buffer the compositor stretches), with the frame on a subsurface
// at the letterbox rectangle, scaled there by the compositor too. The subsurface takes no
// input, so the pointer is always on the toplevel's surface, in output coordinates.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "platform/wayland/stale_area.h"

struct wl_array;
struct wl_buffer;
struct wl_output;
struct wl_subsurface;
struct wl_surface;
struct wp_viewport;
struct xdg_surface;
struct xdg_toplevel;
struct zxdg_output_v1;

namespace platform {

class Connection;

class OutputSurface {
 public:
  struct Events {
    // The compositor gave the surface a size (the first time, or a new one): everything
    // must be shown again.
    std::function<void()> configured;
    // The compositor asks the saver to close.
    std::function<void()> closed;
  };
  // Asks for a full-screen toplevel on `output` (the compositor chooses one when null);
  // nothing shows before the compositor's first configure has come.
  OutputSurface(Connection& connection, wl_output* output, wl_buffer* black,
                const std::string& appId, const std::string& title, Events events);
  ~OutputSurface();
  OutputSurface(const OutputSurface&) = delete;
  OutputSurface& operator=(const OutputSurface&) = delete;

  wl_output* Output() const { return output_; }
  // The surface the pointer is reported on.
  wl_surface* Surface() const { return surface_; }
  bool Configured() const { return width_ > 0 && height_ > 0; }
  // The size the compositor gave the surface (0 before it did).
  int Width() const { return width_; }
  int Height() const { return height_; }
  // Where a frame of the given size lands, in the surface's coordinates.
  ChangedRect Place(int frameWidth, int frameHeight) const;

  // The newest frame differs from the one before by `changes`.
  void Changed(const FrameChanges& changes) { stale_.Add(changes); }
  // Shows `buffer`, which holds the newest frame (frameWidth x frameHeight), damaging what
  // changed since the surface showed a frame last.
  void Show(wl_buffer* buffer, int frameWidth, int frameHeight);

 private:
  static void ToplevelConfigure(void* data, xdg_toplevel* toplevel, std::int32_t width,
                                std::int32_t height, wl_array* states);
  static void SurfaceConfigure(void* data, xdg_surface* surface, std::uint32_t serial);

  wl_output* output_;
  zxdg_output_v1* xdgOutput_ = nullptr;
  int outputWidth_ = 0, outputHeight_ = 0;  // the output's size in the layout, once told
  wl_buffer* black_;
  Events events_;
  wl_surface* surface_ = nullptr;
  wp_viewport* backdrop_ = nullptr;
  xdg_surface* xdgSurface_ = nullptr;
  xdg_toplevel* toplevel_ = nullptr;
  wl_surface* frameSurface_ = nullptr;
  wl_subsurface* subsurface_ = nullptr;
  wp_viewport* frameViewport_ = nullptr;
  int pendingWidth_ = 0, pendingHeight_ = 0;  // from the toplevel's configure
  int width_ = 0, height_ = 0;                // acknowledged
  ChangedRect shownPlace_{};                  // where the frame subsurface is
  StaleArea stale_;                           // what the frame surface misses
};

}  // namespace platform
