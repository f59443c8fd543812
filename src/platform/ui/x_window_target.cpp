#include "platform/ui/x_window_target.h"

#include <xcb/xcb.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace platform {
namespace {

constexpr std::uint8_t kBadWindow = 3;
constexpr std::uint8_t kBadDrawable = 9;

template <typename T>
using Reply = std::unique_ptr<T, decltype(&std::free)>;

template <typename T>
Reply<T> Take(T* reply) {
  return Reply<T>(reply, &std::free);
}

// The mix of a and b with b weighing w of 256, channel by channel.
inline std::uint32_t Lerp(std::uint32_t a, std::uint32_t b, std::uint32_t w) {
  const std::uint32_t rb = (((a & 0xFF00FFu) * (256 - w) + (b & 0xFF00FFu) * w) >> 8) & 0xFF00FFu;
  const std::uint32_t g = (((a & 0xFF00u) * (256 - w) + (b & 0xFF00u) * w) >> 8) & 0xFF00u;
  return rb | g;
}

// For each of `out` destination pixels across a source of `in`: the first source pixel
// and the weight of the next, sampling at pixel centres.
void Sampling(int in, int out, std::vector<int>& src, std::vector<int>& weight) {
  src.resize(static_cast<std::size_t>(out));
  weight.resize(static_cast<std::size_t>(out));
  for (int i = 0; i < out; ++i) {
    const long long fixed = ((2LL * i + 1) * in * 256) / (2LL * out) - 128;
    const long long clamped = std::clamp<long long>(fixed, 0, (in - 1) * 256LL);
    src[static_cast<std::size_t>(i)] = static_cast<int>(clamped >> 8);
    weight[static_cast<std::size_t>(i)] =
        src[static_cast<std::size_t>(i)] + 1 < in ? static_cast<int>(clamped & 255) : 0;
  }
}

}  // namespace

std::unique_ptr<XWindowTarget> XWindowTarget::Open(std::uint32_t window, std::string& error) {
  int screenNumber = 0;
  xcb_connection_t* connection = xcb_connect(nullptr, &screenNumber);
  if (xcb_connection_has_error(connection)) {
    xcb_disconnect(connection);
    error = "cannot open the X display";
    return nullptr;
  }
  if (window == 0) {
    xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(connection));
    for (int i = 0; i < screenNumber && it.rem > 0; ++i) xcb_screen_next(&it);
    window = it.data->root;
  }
  std::unique_ptr<XWindowTarget> target(new XWindowTarget(connection, window));
  if (!target->Start(error)) return nullptr;
  return target;
}

XWindowTarget::XWindowTarget(xcb_connection_t* connection, std::uint32_t window)
    : connection_(connection), window_(window) {}

XWindowTarget::~XWindowTarget() {
  NotifyGone();
  xcb_disconnect(connection_);
}

bool XWindowTarget::Start(std::string& error) {
  const auto geometry =
      Take(xcb_get_geometry_reply(connection_, xcb_get_geometry(connection_, window_), nullptr));
  if (!geometry) {
    error = "there is no window " + std::to_string(window_);
    return false;
  }
  depth_ = geometry->depth;
  width_ = geometry->width;
  height_ = geometry->height;
  const xcb_setup_t* setup = xcb_get_setup(connection_);
  bool thirtyTwoBits = false;
  for (auto it = xcb_setup_pixmap_formats_iterator(setup); it.rem > 0; xcb_format_next(&it))
    if (it.data->depth == depth_) thirtyTwoBits = it.data->bits_per_pixel == 32;
  if (!thirtyTwoBits || setup->image_byte_order != XCB_IMAGE_ORDER_LSB_FIRST ||
      (depth_ != 24 && depth_ != 32)) {
    error = "window " + std::to_string(window_) + " has pixels of depth " + std::to_string(depth_) +
            " that cannot be drawn";
    return false;
  }
  // Its owner resizes, exposes and destroys the window; the target follows. Other programs'
  // event masks on the window are theirs and stay as they are.
  const std::uint32_t events = XCB_EVENT_MASK_STRUCTURE_NOTIFY | XCB_EVENT_MASK_EXPOSURE;
  const xcb_void_cookie_t selected =
      xcb_change_window_attributes_checked(connection_, window_, XCB_CW_EVENT_MASK, &events);
  if (xcb_generic_error_t* failure = xcb_request_check(connection_, selected)) {
    std::free(failure);
    error = "window " + std::to_string(window_) + " cannot be watched";
    return false;
  }
  gc_ = xcb_generate_id(connection_);
  const std::uint32_t black[] = {0, 0};
  xcb_create_gc(connection_, gc_, window_, XCB_GC_FOREGROUND | XCB_GC_GRAPHICS_EXPOSURES, black);
  maxRequestBytes_ = static_cast<std::size_t>(xcb_get_maximum_request_length(connection_)) * 4;
  xcb_flush(connection_);
  return true;
}

void XWindowTarget::ResizeClient(int width, int height) {
  (void)width;
  (void)height;
}

XWindowTarget::Rect XWindowTarget::FrameRect() const {
  if (frameWidth_ <= 0 || frameHeight_ <= 0 || width_ <= 0 || height_ <= 0) return {};
  // As large as fits with the frame's aspect ratio, centred.
  int w = width_, h = static_cast<int>(static_cast<long long>(width_) * frameHeight_ / frameWidth_);
  if (h > height_) {
    h = height_;
    w = static_cast<int>(static_cast<long long>(height_) * frameWidth_ / frameHeight_);
  }
  return {(width_ - w) / 2, (height_ - h) / 2, w, h};
}

void XWindowTarget::Layout() {
  const Rect r = FrameRect();
  if (r.w == layout_.w && r.h == layout_.h && r.x == layout_.x && r.y == layout_.y &&
      static_cast<int>(srcX_.size()) == r.w)
    return;
  layout_ = r;
  Sampling(frameWidth_, r.w, srcX_, weightX_);
  Sampling(frameHeight_, r.h, srcY_, weightY_);
}

void XWindowTarget::Show(const uint32_t* pixels, int width, int height, int pitch) {
  ShowChanges(pixels, width, height, pitch, FrameChanges{});
}

void XWindowTarget::ShowChanges(const uint32_t* pixels, int width, int height, int pitch,
                                const FrameChanges& changes) {
  if (gone_ || width <= 0 || height <= 0) return;
  const bool whole = changes.whole || changes.presenter == nullptr ||
                     changes.presenter != presenter_ || width != frameWidth_ ||
                     height != frameHeight_;
  presenter_ = changes.presenter;
  frameWidth_ = width;
  frameHeight_ = height;
  frame_.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
  for (int y = 0; y < height; ++y)
    std::memcpy(
        &frame_[static_cast<std::size_t>(y) * static_cast<std::size_t>(width)],
        reinterpret_cast<const std::uint8_t*>(pixels) + static_cast<std::ptrdiff_t>(y) * pitch,
        static_cast<std::size_t>(width) * 4);
  Layout();
  if (whole) {
    DrawWhole();
  } else {
    for (int i = 0; i < changes.count; ++i) {
      const ChangedRect& c = changes.rects[i];
      // A scaled pixel mixes its neighbours: the change reaches one frame pixel further on
      // each side, and one window pixel more covers the rounding.
      const auto mapX = [&](long long x) {
        return static_cast<int>(std::clamp<long long>(x, 0, width) * layout_.w / width);
      };
      const auto mapY = [&](long long y) {
        return static_cast<int>(std::clamp<long long>(y, 0, height) * layout_.h / height);
      };
      DrawArea(std::max(mapX(c.left - 1) - 1, 0), std::max(mapY(c.top - 1) - 1, 0),
               std::min(mapX(c.right + 1) + 1, layout_.w),
               std::min(mapY(c.bottom + 1) + 1, layout_.h));
    }
  }
  ++framesShown_;
  xcb_flush(connection_);
}

void XWindowTarget::DrawWhole() {
  const Rect r = layout_;
  // Black bars where the frame does not reach.
  const xcb_rectangle_t bars[] = {
      {0, 0, static_cast<std::uint16_t>(width_), static_cast<std::uint16_t>(r.y)},
      {0, static_cast<std::int16_t>(r.y + r.h), static_cast<std::uint16_t>(width_),
       static_cast<std::uint16_t>(height_ - r.y - r.h)},
      {0, static_cast<std::int16_t>(r.y), static_cast<std::uint16_t>(r.x),
       static_cast<std::uint16_t>(r.h)},
      {static_cast<std::int16_t>(r.x + r.w), static_cast<std::int16_t>(r.y),
       static_cast<std::uint16_t>(width_ - r.x - r.w), static_cast<std::uint16_t>(r.h)},
  };
  xcb_poly_fill_rectangle(connection_, window_, gc_, 4, bars);
  DrawArea(0, 0, r.w, r.h);
}

void XWindowTarget::DrawArea(int x0, int y0, int x1, int y1) {
  if (x0 >= x1 || y0 >= y1 || frame_.empty()) return;
  const int w = x1 - x0;
  const std::size_t rowBytes = static_cast<std::size_t>(w) * 4;
  const int bandRows = std::max(1, static_cast<int>((maxRequestBytes_ - 64) / rowBytes));
  const std::uint32_t alpha = depth_ == 32 ? 0xFF000000u : 0;
  for (int top = y0; top < y1; top += bandRows) {
    const int rows = std::min(bandRows, y1 - top);
    band_.resize(static_cast<std::size_t>(w) * static_cast<std::size_t>(rows));
    for (int y = 0; y < rows; ++y) {
      const std::size_t sy = static_cast<std::size_t>(srcY_[static_cast<std::size_t>(top + y)]);
      const auto wy = static_cast<std::uint32_t>(weightY_[static_cast<std::size_t>(top + y)]);
      const std::uint32_t* row0 = &frame_[sy * static_cast<std::size_t>(frameWidth_)];
      const std::uint32_t* row1 = wy != 0 ? row0 + frameWidth_ : row0;
      std::uint32_t* out = &band_[static_cast<std::size_t>(y) * static_cast<std::size_t>(w)];
      for (int x = 0; x < w; ++x) {
        const auto sx = static_cast<std::size_t>(srcX_[static_cast<std::size_t>(x0 + x)]);
        const auto wx = static_cast<std::uint32_t>(weightX_[static_cast<std::size_t>(x0 + x)]);
        const std::size_t nx = wx != 0 ? sx + 1 : sx;
        out[x] = Lerp(Lerp(row0[sx], row0[nx], wx), Lerp(row1[sx], row1[nx], wx), wy) | alpha;
      }
    }
    xcb_put_image(connection_, XCB_IMAGE_FORMAT_Z_PIXMAP, window_, gc_,
                  static_cast<std::uint16_t>(w), static_cast<std::uint16_t>(rows),
                  static_cast<std::int16_t>(layout_.x + x0),
                  static_cast<std::int16_t>(layout_.y + top), 0, depth_,
                  static_cast<std::uint32_t>(band_.size() * 4),
                  reinterpret_cast<const std::uint8_t*>(band_.data()));
  }
}

bool XWindowTarget::HandleEvents() {
  bool redraw = false;
  while (xcb_generic_event_t* event = xcb_poll_for_event(connection_)) {
    const auto owned = Take(event);
    switch (event->response_type & 0x7F) {
      case 0: {
        const auto* failure = reinterpret_cast<xcb_generic_error_t*>(event);
        if ((failure->error_code == kBadWindow || failure->error_code == kBadDrawable) &&
            failure->resource_id == window_)
          gone_ = true;
        break;
      }
      case XCB_DESTROY_NOTIFY:
        if (reinterpret_cast<xcb_destroy_notify_event_t*>(event)->window == window_) gone_ = true;
        break;
      case XCB_CONFIGURE_NOTIFY: {
        const auto* configure = reinterpret_cast<xcb_configure_notify_event_t*>(event);
        if (configure->window == window_ &&
            (configure->width != width_ || configure->height != height_)) {
          width_ = configure->width;
          height_ = configure->height;
          redraw = true;
        }
        break;
      }
      case XCB_EXPOSE:
        if (reinterpret_cast<xcb_expose_event_t*>(event)->count == 0) redraw = true;
        break;
      default:
        break;
    }
  }
  if (xcb_connection_has_error(connection_)) gone_ = true;
  if (!gone_ && redraw && !frame_.empty()) {
    Layout();
    DrawWhole();
    xcb_flush(connection_);
  }
  return !gone_;
}

}  // namespace platform
