#include "platform/ui/x_frame_painter.h"

#include <xcb/xcb.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace platform {
namespace {

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

std::unique_ptr<XFramePainter> XFramePainter::Create(xcb_connection_t* connection,
                                                     std::uint32_t window) {
  if (connection == nullptr || window == 0) return nullptr;
  xcb_get_geometry_reply_t* geometry =
      xcb_get_geometry_reply(connection, xcb_get_geometry(connection, window), nullptr);
  if (geometry == nullptr) return nullptr;
  const std::uint8_t depth = geometry->depth;
  std::free(geometry);
  const xcb_setup_t* setup = xcb_get_setup(connection);
  bool thirtyTwoBits = false;
  for (auto it = xcb_setup_pixmap_formats_iterator(setup); it.rem > 0; xcb_format_next(&it))
    if (it.data->depth == depth) thirtyTwoBits = it.data->bits_per_pixel == 32;
  if (!thirtyTwoBits || setup->image_byte_order != XCB_IMAGE_ORDER_LSB_FIRST ||
      (depth != 24 && depth != 32))
    return nullptr;
  return std::unique_ptr<XFramePainter>(new XFramePainter(connection, window, depth));
}

XFramePainter::XFramePainter(xcb_connection_t* connection, std::uint32_t window, std::uint8_t depth)
    : connection_(connection),
      window_(window),
      depth_(depth),
      maxRequestBytes_(std::min<std::size_t>(
          std::size_t{xcb_get_maximum_request_length(connection)} * 4, std::size_t{1} << 18)) {
  gc_ = xcb_generate_id(connection_);
  const std::uint32_t values[] = {0, 0};  // black, no graphics exposures
  xcb_create_gc(connection_, gc_, window_, XCB_GC_FOREGROUND | XCB_GC_GRAPHICS_EXPOSURES, values);
}

XFramePainter::~XFramePainter() {
  xcb_free_gc(connection_, gc_);
  xcb_flush(connection_);
}

void XFramePainter::FillBlack(const QRect& area) {
  if (area.isEmpty()) return;
  const xcb_rectangle_t r{static_cast<std::int16_t>(area.x()), static_cast<std::int16_t>(area.y()),
                          static_cast<std::uint16_t>(area.width()),
                          static_cast<std::uint16_t>(area.height())};
  xcb_poly_fill_rectangle(connection_, window_, gc_, 1, &r);
}

void XFramePainter::Layout(QSize frame, QSize place) {
  if (frame == frameSize_ && place == placeSize_) return;
  frameSize_ = frame;
  placeSize_ = place;
  Sampling(frame.width(), place.width(), srcX_, weightX_);
  Sampling(frame.height(), place.height(), srcY_, weightY_);
}

void XFramePainter::Draw(const QImage& frame, const QRect& place, const QRect& area) {
  const QRect part = area.intersected(place);
  if (part.isEmpty() || frame.isNull() || frame.format() != QImage::Format_RGB32) return;
  Layout(frame.size(), place.size());
  const int x0 = part.left() - place.left(), y0 = part.top() - place.top();
  const int w = part.width(), h = part.height();
  const std::size_t rowBytes = static_cast<std::size_t>(w) * 4;
  const int bandRows = std::max(1, static_cast<int>((maxRequestBytes_ - 64) / rowBytes));
  const std::uint32_t alpha = depth_ == 32 ? 0xFF000000u : 0;
  const bool unscaled = frame.size() == place.size();
  for (int top = 0; top < h; top += bandRows) {
    const int rows = std::min(bandRows, h - top);
    band_.resize(static_cast<std::size_t>(w) * static_cast<std::size_t>(rows));
    for (int y = 0; y < rows; ++y) {
      std::uint32_t* out = &band_[static_cast<std::size_t>(y) * static_cast<std::size_t>(w)];
      const auto py = static_cast<std::size_t>(y0 + top + y);
      const auto* row0 = reinterpret_cast<const std::uint32_t*>(frame.constScanLine(srcY_[py]));
      if (unscaled) {
        for (int x = 0; x < w; ++x) out[x] = row0[x0 + x] | alpha;
        continue;
      }
      const auto wy = static_cast<std::uint32_t>(weightY_[py]);
      const std::uint32_t* row1 =
          wy != 0 ? reinterpret_cast<const std::uint32_t*>(frame.constScanLine(srcY_[py] + 1))
                  : row0;
      for (int x = 0; x < w; ++x) {
        const auto sx = static_cast<std::size_t>(srcX_[static_cast<std::size_t>(x0 + x)]);
        const auto wx = static_cast<std::uint32_t>(weightX_[static_cast<std::size_t>(x0 + x)]);
        const std::size_t nx = wx != 0 ? sx + 1 : sx;
        out[x] = Lerp(Lerp(row0[sx], row0[nx], wx), Lerp(row1[sx], row1[nx], wx), wy) | alpha;
      }
    }
    xcb_put_image(connection_, XCB_IMAGE_FORMAT_Z_PIXMAP, window_, gc_,
                  static_cast<std::uint16_t>(w), static_cast<std::uint16_t>(rows),
                  static_cast<std::int16_t>(part.left()),
                  static_cast<std::int16_t>(part.top() + top), 0, depth_,
                  static_cast<std::uint32_t>(band_.size() * 4),
                  reinterpret_cast<const std::uint8_t*>(band_.data()));
  }
}

void XFramePainter::Flush() { xcb_flush(connection_); }

}  // namespace platform
