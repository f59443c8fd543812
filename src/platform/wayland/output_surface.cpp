#include "platform/wayland/output_surface.h"

#include <viewporter-client-protocol.h>
#include <wayland-client.h>
#include <xdg-output-unstable-v1-client-protocol.h>
#include <xdg-shell-client-protocol.h>

#include "platform/wayland/connection.h"
#include "platform/wayland/letterbox.h"

namespace platform {
namespace {

// The frame's own size, for a surface neither the compositor nor its output gives one.
constexpr int kFrameWidth = 640;
constexpr int kFrameHeight = 480;

// The size to take when the compositor leaves it to us (0): the one the surface has, else
// its output's, else the frame's.
int ChosenSize(int given, int current, int output, int frame) {
  if (given > 0) return given;
  if (current > 0) return current;
  return output > 0 ? output : frame;
}

}  // namespace

OutputSurface::OutputSurface(Connection& connection, wl_output* output, wl_buffer* black,
                             const std::string& appId, const std::string& title, Events events)
    : output_(output), black_(black), events_(std::move(events)) {
  static const xdg_surface_listener surfaceListener = {.configure = &SurfaceConfigure};
  static const xdg_toplevel_listener toplevelListener = {
      .configure = &ToplevelConfigure,
      .close =
          [](void* data, xdg_toplevel*) {
            auto* self = static_cast<OutputSurface*>(data);
            if (self->events_.closed) self->events_.closed();
          },
  };
  static const zxdg_output_v1_listener outputListener = {
      .logical_position = [](void*, zxdg_output_v1*, std::int32_t, std::int32_t) {},
      .logical_size =
          [](void* data, zxdg_output_v1*, std::int32_t width, std::int32_t height) {
            auto* self = static_cast<OutputSurface*>(data);
            self->outputWidth_ = width;
            self->outputHeight_ = height;
          },
      .done = [](void*, zxdg_output_v1*) {},
      .name = [](void*, zxdg_output_v1*, const char*) {},
      .description = [](void*, zxdg_output_v1*, const char*) {},
  };
  // Asked before the surface's first commit, the output's size comes before the first
  // configure.
  if (connection.OutputManager() != nullptr && output_ != nullptr) {
    xdgOutput_ = zxdg_output_manager_v1_get_xdg_output(connection.OutputManager(), output_);
    zxdg_output_v1_add_listener(xdgOutput_, &outputListener, this);
  }
  surface_ = wl_compositor_create_surface(connection.Compositor());
  backdrop_ = wp_viewporter_get_viewport(connection.Viewporter(), surface_);
  frameSurface_ = wl_compositor_create_surface(connection.Compositor());
  subsurface_ =
      wl_subcompositor_get_subsurface(connection.Subcompositor(), frameSurface_, surface_);
  // The frame is shown as it comes, not held back until the toplevel's next commit.
  wl_subsurface_set_desync(subsurface_);
  frameViewport_ = wp_viewporter_get_viewport(connection.Viewporter(), frameSurface_);
  wl_region* nothing = wl_compositor_create_region(connection.Compositor());
  wl_surface_set_input_region(frameSurface_, nothing);
  wl_region_destroy(nothing);

  xdgSurface_ = xdg_wm_base_get_xdg_surface(connection.WmBase(), surface_);
  xdg_surface_add_listener(xdgSurface_, &surfaceListener, this);
  toplevel_ = xdg_surface_get_toplevel(xdgSurface_);
  xdg_toplevel_add_listener(toplevel_, &toplevelListener, this);
  xdg_toplevel_set_app_id(toplevel_, appId.c_str());
  xdg_toplevel_set_title(toplevel_, title.c_str());
  xdg_toplevel_set_fullscreen(toplevel_, output_);
  // Without a buffer: the compositor answers with the size it gives the surface.
  wl_surface_commit(surface_);
}

OutputSurface::~OutputSurface() {
  wp_viewport_destroy(frameViewport_);
  wl_subsurface_destroy(subsurface_);
  wl_surface_destroy(frameSurface_);
  xdg_toplevel_destroy(toplevel_);
  xdg_surface_destroy(xdgSurface_);
  wp_viewport_destroy(backdrop_);
  wl_surface_destroy(surface_);
  if (xdgOutput_ != nullptr) zxdg_output_v1_destroy(xdgOutput_);
}

ChangedRect OutputSurface::Place(int frameWidth, int frameHeight) const {
  return LetterboxRect(width_, height_, frameWidth, frameHeight);
}

void OutputSurface::ToplevelConfigure(void* data, xdg_toplevel*, std::int32_t width,
                                      std::int32_t height, wl_array*) {
  auto* self = static_cast<OutputSurface*>(data);
  self->pendingWidth_ = width;
  self->pendingHeight_ = height;
}

void OutputSurface::SurfaceConfigure(void* data, xdg_surface* surface, std::uint32_t serial) {
  auto* self = static_cast<OutputSurface*>(data);
  xdg_surface_ack_configure(surface, serial);
  // A compositor may show the surface before it sizes it for full screen (the first
  // configures say 0). Taken at its output's size from the start, the surface never grows
  // under a still pointer: a smaller one is centred on the output, the pointer's place is
  // told on it, and once it has grown no new place comes until the pointer moves, so a first
  // small movement would seem a jump.
  const int width = ChosenSize(self->pendingWidth_, self->width_, self->outputWidth_, kFrameWidth);
  const int height =
      ChosenSize(self->pendingHeight_, self->height_, self->outputHeight_, kFrameHeight);
  const bool resized = width != self->width_ || height != self->height_;
  self->width_ = width;
  self->height_ = height;
  wp_viewport_set_destination(self->backdrop_, width, height);
  wl_surface_attach(self->surface_, self->black_, 0, 0);
  wl_surface_damage_buffer(self->surface_, 0, 0, 1, 1);
  wl_surface_commit(self->surface_);
  if (resized) {
    self->stale_.MarkWhole();
    if (self->events_.configured) self->events_.configured();
  }
}

void OutputSurface::Show(wl_buffer* buffer, int frameWidth, int frameHeight) {
  const ChangedRect place = Place(frameWidth, frameHeight);
  // An output too small to hold a pixel of the frame shows none: a viewport of no size is
  // a protocol error.
  if (place.left >= place.right || place.top >= place.bottom) return;
  if (place.left != shownPlace_.left || place.top != shownPlace_.top ||
      place.right != shownPlace_.right || place.bottom != shownPlace_.bottom) {
    shownPlace_ = place;
    wp_viewport_set_destination(frameViewport_, place.right - place.left, place.bottom - place.top);
    // The position is the toplevel's state: it moves with the toplevel's next commit.
    wl_subsurface_set_position(subsurface_, place.left, place.top);
    wl_surface_commit(surface_);
    stale_.MarkWhole();
  }
  std::array<ChangedRect, StaleArea::kMaxRects> rects;
  const int n = stale_.Rects(frameWidth, frameHeight, rects);
  wl_surface_attach(frameSurface_, buffer, 0, 0);
  for (int i = 0; i < n; ++i) {
    const ChangedRect& r = rects[static_cast<std::size_t>(i)];
    wl_surface_damage_buffer(frameSurface_, r.left, r.top, r.right - r.left, r.bottom - r.top);
  }
  wl_surface_commit(frameSurface_);
  stale_.Clear();
}

}  // namespace platform
