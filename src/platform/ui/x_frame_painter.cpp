#include "platform/ui/x_frame_painter.h"

#include "platform/ui/x_server_scaler.h"

#include <emmintrin.h>
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

// out[x] = Lerp(a[x], b[x], w) | alpha, four pixels a step (the same rounding down).
void BlendDown(const std::uint32_t* a, const std::uint32_t* b, std::uint32_t w, int n,
               std::uint32_t alpha, std::uint32_t* out) {
  const __m128i zero = _mm_setzero_si128();
  const __m128i wa = _mm_set1_epi16(static_cast<short>(256 - w));
  const __m128i wb = _mm_set1_epi16(static_cast<short>(w));
  const __m128i keep = _mm_set1_epi32(0x00FFFFFF);
  const __m128i opaque = _mm_set1_epi32(static_cast<int>(alpha));
  const auto half = [&](__m128i x, __m128i y) {
    return _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(x, wa), _mm_mullo_epi16(y, wb)), 8);
  };
  int x = 0;
  for (; x + 4 <= n; x += 4) {
    const __m128i va = _mm_loadu_si128(reinterpret_cast<const __m128i*>(a + x));
    const __m128i vb = _mm_loadu_si128(reinterpret_cast<const __m128i*>(b + x));
    const __m128i mixed =
        _mm_packus_epi16(half(_mm_unpacklo_epi8(va, zero), _mm_unpacklo_epi8(vb, zero)),
                         half(_mm_unpackhi_epi8(va, zero), _mm_unpackhi_epi8(vb, zero)));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + x),
                     _mm_or_si128(_mm_and_si128(mixed, keep), opaque));
  }
  for (; x < n; ++x) out[x] = Lerp(a[x], b[x], w) | alpha;
}

}  // namespace

std::unique_ptr<XFramePainter> XFramePainter::Create(xcb_connection_t* connection,
                                                     std::uint32_t window, Scaling scaling) {
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
  std::unique_ptr<XFramePainter> painter(new XFramePainter(connection, window, depth));
  if (scaling == Scaling::kOnServerWherePossible)
    painter->scaler_ = XServerScaler::Create(connection, window);
  return painter;
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
  scaler_.reset();
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

void XFramePainter::HorizontalRow(const QImage& frame, int sy, int x0, int w,
                                  std::vector<std::uint32_t>& out) {
  out.resize(static_cast<std::size_t>(w));
  const auto* row = reinterpret_cast<const std::uint32_t*>(frame.constScanLine(sy));
  for (int x = 0; x < w; ++x) {
    const auto sx = static_cast<std::size_t>(srcX_[static_cast<std::size_t>(x0 + x)]);
    const auto wx = static_cast<std::uint32_t>(weightX_[static_cast<std::size_t>(x0 + x)]);
    out[static_cast<std::size_t>(x)] = Lerp(row[sx], row[wx != 0 ? sx + 1 : sx], wx);
  }
}

void XFramePainter::Take(const QImage& frame, const QRect& changed) {
  // Scaled here, or shown at its own size (sent straight to the window), the frame is read
  // as it is at each Draw; the server's copy is then refreshed whole once scaling resumes.
  if (scaler_ == nullptr) return;
  if (unscaled_) {
    scaler_->Forget();
  } else {
    scaler_->Take(frame, changed);
  }
}

void XFramePainter::Draw(const QImage& frame, const QRect& place, const QRect& area) {
  const QRect part = area.intersected(place);
  if (part.isEmpty() || frame.isNull() || frame.format() != QImage::Format_RGB32) return;
  unscaled_ = frame.size() == place.size();
  if (scaler_ != nullptr && !unscaled_) {
    scaler_->Draw(frame, place, area);
    return;
  }
  Layout(frame.size(), place.size());
  const int x0 = part.left() - place.left(), y0 = part.top() - place.top();
  const int w = part.width(), h = part.height();
  const std::size_t rowBytes = static_cast<std::size_t>(w) * 4;
  const int bandRows = std::max(1, static_cast<int>((maxRequestBytes_ - 64) / rowBytes));
  const std::uint32_t alpha = depth_ == 32 ? 0xFF000000u : 0;
  // Window rows between the same two frame rows share their horizontal blends: a frame
  // row blended across is kept while the next window rows still use it.
  int cached[2] = {-1, -1};
  // Whole rows of an unscaled frame on a 24-bit window go straight from the frame (the
  // first frame, exposures): no band of the frame's size stays allocated for them.
  const bool straight = unscaled_ && alpha == 0 && x0 == 0 && w == frame.width() &&
                        static_cast<std::size_t>(frame.bytesPerLine()) == rowBytes;
  for (int top = 0; top < h; top += bandRows) {
    const int rows = std::min(bandRows, h - top);
    if (straight) {
      xcb_put_image(connection_, XCB_IMAGE_FORMAT_Z_PIXMAP, window_, gc_,
                    static_cast<std::uint16_t>(w), static_cast<std::uint16_t>(rows),
                    static_cast<std::int16_t>(part.left()),
                    static_cast<std::int16_t>(part.top() + top), 0, depth_,
                    static_cast<std::uint32_t>(rowBytes * static_cast<std::size_t>(rows)),
                    frame.constScanLine(y0 + top));
      continue;
    }
    band_.resize(static_cast<std::size_t>(w) * static_cast<std::size_t>(rows));
    for (int y = 0; y < rows; ++y) {
      std::uint32_t* out = &band_[static_cast<std::size_t>(y) * static_cast<std::size_t>(w)];
      const auto py = static_cast<std::size_t>(y0 + top + y);
      const int sy = srcY_[py];
      if (unscaled_) {
        const auto* row = reinterpret_cast<const std::uint32_t*>(frame.constScanLine(sy));
        for (int x = 0; x < w; ++x) out[x] = row[x0 + x] | alpha;
        continue;
      }
      const auto wy = static_cast<std::uint32_t>(weightY_[py]);
      const int next = wy != 0 ? sy + 1 : sy;
      if (cached[0] != sy) {
        if (cached[1] == sy) {
          across_[0].swap(across_[1]);
          std::swap(cached[0], cached[1]);
        } else {
          HorizontalRow(frame, sy, x0, w, across_[0]);
          cached[0] = sy;
        }
      }
      const std::uint32_t* lower = across_[0].data();
      if (next != sy) {
        if (cached[1] != next) {
          HorizontalRow(frame, next, x0, w, across_[1]);
          cached[1] = next;
        }
        lower = across_[1].data();
      }
      BlendDown(across_[0].data(), lower, wy, w, alpha, out);
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
