#include "platform/ui/x_server_scaler.h"

#include <xcb/render.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace platform {
namespace {

template <typename T>
using Reply = std::unique_ptr<T, decltype(&std::free)>;

template <typename T>
Reply<T> Owned(T* reply) {
  return Reply<T>(reply, &std::free);
}

constexpr char kBilinear[] = "bilinear";
constexpr char kNearest[] = "nearest";

// 16.16 fixed point, as the server's transforms take it.
std::int32_t Fixed(double value) { return static_cast<std::int32_t>(std::lround(value * 65536.0)); }

// The picture format of `visual`, or 0.
std::uint32_t VisualFormat(const xcb_render_query_pict_formats_reply_t* formats,
                           xcb_visualid_t visual) {
  for (auto screen = xcb_render_query_pict_formats_screens_iterator(formats); screen.rem > 0;
       xcb_render_pictscreen_next(&screen)) {
    for (auto depth = xcb_render_pictscreen_depths_iterator(screen.data); depth.rem > 0;
         xcb_render_pictdepth_next(&depth)) {
      for (auto v = xcb_render_pictdepth_visuals_iterator(depth.data); v.rem > 0;
           xcb_render_pictvisual_next(&v))
        if (v.data->visual == visual) return v.data->format;
    }
  }
  return 0;
}

// The 24-bit format whose pixels are the frame's words (red in bits 16-23), or 0.
std::uint32_t FrameFormat(const xcb_render_query_pict_formats_reply_t* formats) {
  for (auto f = xcb_render_query_pict_formats_formats_iterator(formats); f.rem > 0;
       xcb_render_pictforminfo_next(&f)) {
    const xcb_render_directformat_t& d = f.data->direct;
    if (f.data->type == XCB_RENDER_PICT_TYPE_DIRECT && f.data->depth == 24 && d.red_shift == 16 &&
        d.red_mask == 0xFF && d.green_shift == 8 && d.green_mask == 0xFF && d.blue_shift == 0 &&
        d.blue_mask == 0xFF && d.alpha_mask == 0)
      return f.data->id;
  }
  return 0;
}

bool Has32BitPixels(const xcb_setup_t* setup, std::uint8_t depth) {
  for (auto it = xcb_setup_pixmap_formats_iterator(setup); it.rem > 0; xcb_format_next(&it))
    if (it.data->depth == depth) return it.data->bits_per_pixel == 32;
  return false;
}

}  // namespace

std::unique_ptr<XServerScaler> XServerScaler::Create(xcb_connection_t* connection,
                                                     std::uint32_t window) {
  if (connection == nullptr || window == 0) return nullptr;
  const xcb_query_extension_reply_t* render = xcb_get_extension_data(connection, &xcb_render_id);
  const xcb_setup_t* setup = xcb_get_setup(connection);
  if (render == nullptr || !render->present ||
      setup->image_byte_order != XCB_IMAGE_ORDER_LSB_FIRST || !Has32BitPixels(setup, 24))
    return nullptr;
  const auto versionAsked = xcb_render_query_version(connection, 0, 11);
  const auto attributesAsked = xcb_get_window_attributes(connection, window);
  const auto formatsAsked = xcb_render_query_pict_formats(connection);
  const auto version = Owned(xcb_render_query_version_reply(connection, versionAsked, nullptr));
  const auto attributes =
      Owned(xcb_get_window_attributes_reply(connection, attributesAsked, nullptr));
  const auto formats =
      Owned(xcb_render_query_pict_formats_reply(connection, formatsAsked, nullptr));
  if (!version || !attributes || !formats ||
      (version->major_version == 0 && version->minor_version < 10))
    return nullptr;
  const Formats found{VisualFormat(formats.get(), attributes->visual), FrameFormat(formats.get())};
  if (found.window == 0 || found.frame == 0) return nullptr;
  return std::unique_ptr<XServerScaler>(new XServerScaler(connection, window, found));
}

XServerScaler::XServerScaler(xcb_connection_t* connection, std::uint32_t window, Formats formats)
    : connection_(connection),
      window_(window),
      formats_(formats),
      maxRequestBytes_(std::min<std::size_t>(
          std::size_t{xcb_get_maximum_request_length(connection)} * 4, std::size_t{1} << 18)) {
  target_ = xcb_generate_id(connection_);
  xcb_render_create_picture(connection_, target_, window_, formats_.window, 0, nullptr);
}

XServerScaler::~XServerScaler() {
  if (source_ != 0) {
    xcb_render_free_picture(connection_, source_);
    xcb_free_gc(connection_, gc_);
    xcb_free_pixmap(connection_, pixmap_);
  }
  xcb_render_free_picture(connection_, target_);
}

void XServerScaler::Replace(const QImage& frame) {
  if (source_ != 0) {
    xcb_render_free_picture(connection_, source_);
    xcb_free_gc(connection_, gc_);
    xcb_free_pixmap(connection_, pixmap_);
  }
  frameSize_ = frame.size();
  placeSize_ = QSize();  // the new picture has no transform yet
  pixmap_ = xcb_generate_id(connection_);
  xcb_create_pixmap(connection_, 24, pixmap_, window_, static_cast<std::uint16_t>(frame.width()),
                    static_cast<std::uint16_t>(frame.height()));
  gc_ = xcb_generate_id(connection_);
  const std::uint32_t noExposures = 0;
  xcb_create_gc(connection_, gc_, pixmap_, XCB_GC_GRAPHICS_EXPOSURES, &noExposures);
  source_ = xcb_generate_id(connection_);
  const std::uint32_t pad = XCB_RENDER_REPEAT_PAD;
  xcb_render_create_picture(connection_, source_, pixmap_, formats_.frame, XCB_RENDER_CP_REPEAT,
                            &pad);
  Upload(frame, frame.rect());
}

void XServerScaler::Upload(const QImage& frame, const QRect& part) {
  if (part.isEmpty()) return;
  const std::size_t rowBytes = static_cast<std::size_t>(part.width()) * 4;
  const int bandRows = std::max(1, static_cast<int>((maxRequestBytes_ - 64) / rowBytes));
  // Whole rows go straight from the frame; narrower parts are packed first.
  const bool packed =
      part.width() == frame.width() && static_cast<std::size_t>(frame.bytesPerLine()) == rowBytes;
  for (int top = part.top(); top <= part.bottom(); top += bandRows) {
    const int rows = std::min(bandRows, part.bottom() + 1 - top);
    const std::uint8_t* data = frame.constScanLine(top);
    if (!packed) {
      band_.resize(static_cast<std::size_t>(part.width()) * static_cast<std::size_t>(rows));
      for (int y = 0; y < rows; ++y)
        std::memcpy(&band_[static_cast<std::size_t>(y) * static_cast<std::size_t>(part.width())],
                    frame.constScanLine(top + y) + static_cast<std::ptrdiff_t>(part.left()) * 4,
                    rowBytes);
      data = reinterpret_cast<const std::uint8_t*>(band_.data());
    }
    xcb_put_image(connection_, XCB_IMAGE_FORMAT_Z_PIXMAP, pixmap_, gc_,
                  static_cast<std::uint16_t>(part.width()), static_cast<std::uint16_t>(rows),
                  static_cast<std::int16_t>(part.left()), static_cast<std::int16_t>(top), 0, 24,
                  static_cast<std::uint32_t>(rowBytes * static_cast<std::size_t>(rows)), data);
  }
}

void XServerScaler::Layout(QSize place) {
  if (place == placeSize_) return;
  placeSize_ = place;
  // Window pixel centres map to frame positions as in a client-side bilinear scaling:
  // x_frame = (x_window + 0.5) * frame / place - 0.5. An unscaled frame is copied exactly.
  const bool unscaled = place == frameSize_;
  const xcb_render_transform_t transform{
      Fixed(static_cast<double>(frameSize_.width()) / place.width()),
      0,
      0,
      0,
      Fixed(static_cast<double>(frameSize_.height()) / place.height()),
      0,
      0,
      0,
      Fixed(1.0)};
  xcb_render_set_picture_transform(connection_, source_, transform);
  const char* filter = unscaled ? kNearest : kBilinear;
  xcb_render_set_picture_filter(
      connection_, source_, static_cast<std::uint16_t>(std::strlen(filter)), filter, 0, nullptr);
}

void XServerScaler::Take(const QImage& frame, const QRect& changed) {
  if (frame.isNull()) return;
  if (frame.size() != frameSize_) {
    Replace(frame);
    return;
  }
  Upload(frame, changed.intersected(frame.rect()));
}

void XServerScaler::Draw(const QImage& frame, const QRect& place, const QRect& area) {
  const QRect part = area.intersected(place);
  if (part.isEmpty() || frame.isNull()) return;
  if (frame.size() != frameSize_) Replace(frame);
  Layout(place.size());
  xcb_render_composite(
      connection_, XCB_RENDER_PICT_OP_SRC, source_, XCB_RENDER_PICTURE_NONE, target_,
      static_cast<std::int16_t>(part.left() - place.left()),
      static_cast<std::int16_t>(part.top() - place.top()), 0, 0,
      static_cast<std::int16_t>(part.left()), static_cast<std::int16_t>(part.top()),
      static_cast<std::uint16_t>(part.width()), static_cast<std::uint16_t>(part.height()));
}

}  // namespace platform
