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
  painter_.reset();  // it frees its resources through the connection
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
  painter_ = XFramePainter::Create(connection_, window_);
  if (!painter_) {
    error = "window " + std::to_string(window_) + " cannot take the frame's pixels";
    return false;
  }
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

void XWindowTarget::Layout() { layout_ = FrameRect(); }

void XWindowTarget::Show(const uint32_t* pixels, int width, int height, int pitch) {
  ShowChanges(pixels, width, height, pitch, FrameChanges{});
}

void XWindowTarget::ShowChanges(const uint32_t* pixels, int width, int height, int pitch,
                                const FrameChanges& changes) {
  if (gone_ || width <= 0 || height <= 0) return;
  // The presenter's kept copy of the frame serves as the target's own when it has one.
  const bool showKept = changes.kept != nullptr;
  const bool whole = changes.whole || changes.presenter == nullptr ||
                     changes.presenter != presenter_ || width != frameWidth_ ||
                     height != frameHeight_ || showKept != (kept_ != nullptr);
  presenter_ = changes.presenter;
  frameWidth_ = width;
  frameHeight_ = height;
  if (showKept) {
    kept_ = changes.kept;
    std::vector<std::uint32_t>().swap(frame_);
  } else {
    kept_.reset();
    frame_.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
  }
  const QImage shown = Shown();
  // Only what changed is copied into the target's own frame and sent to the server's.
  const auto keep = [&](int left, int top, int right, int bottom) {
    left = std::max(left, 0);
    right = std::min(right, width);
    top = std::max(top, 0);
    bottom = std::min(bottom, height);
    if (left >= right || top >= bottom) return;
    for (int y = top; y < bottom && !showKept; ++y)
      std::memcpy(&frame_[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                          static_cast<std::size_t>(left)],
                  reinterpret_cast<const std::uint8_t*>(pixels) +
                      static_cast<std::ptrdiff_t>(y) * pitch + std::ptrdiff_t{left} * 4,
                  static_cast<std::size_t>(right - left) * 4);
    painter_->Take(shown, QRect(QPoint(left, top), QPoint(right - 1, bottom - 1)));
  };
  if (whole) {
    keep(0, 0, width, height);
  } else {
    for (int i = 0; i < changes.count; ++i)
      keep(changes.rects[i].left, changes.rects[i].top, changes.rects[i].right,
           changes.rects[i].bottom);
  }
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

QImage XWindowTarget::Shown() const {
  const std::uint32_t* pixels = kept_ != nullptr ? kept_.get() : frame_.data();
  if (frameWidth_ <= 0 || frameHeight_ <= 0 || pixels == nullptr) return {};
  // A view, not a copy; the painter ignores the alpha bytes. Made again only when the
  // memory or its shape changes: each new image allocates.
  const auto* bits = reinterpret_cast<const uchar*>(pixels);
  if (view_.constBits() != bits || view_.width() != frameWidth_ || view_.height() != frameHeight_) {
    view_ = QImage(bits, frameWidth_, frameHeight_, static_cast<qsizetype>(frameWidth_) * 4,
                   QImage::Format_RGB32);
  }
  return view_;
}

void XWindowTarget::DrawArea(int x0, int y0, int x1, int y1) {
  const QImage frame = Shown();
  if (x0 >= x1 || y0 >= y1 || frame.isNull()) return;
  painter_->Draw(frame, QRect(layout_.x, layout_.y, layout_.w, layout_.h),
                 QRect(layout_.x + x0, layout_.y + y0, x1 - x0, y1 - y0));
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
  if (!gone_ && redraw && !Shown().isNull()) {
    Layout();
    DrawWhole();
    xcb_flush(connection_);
  }
  return !gone_;
}

}  // namespace platform
