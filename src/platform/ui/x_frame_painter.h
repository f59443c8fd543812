// Paints a frame scaled into an X window through the program's own connection to the
// server. Where the server can scale (see XServerScaler) it keeps the frame and scales it
// itself. Otherwise the painter scales here and sends the window pixels in bands of rows
// that each fit one request: no image of the window's size is kept anywhere, and only the
// window pixels asked for are scaled and sent. Either way the scaling is bilinear between
// the frame pixels around each window pixel's centre.
#pragma once

#include <QImage>
#include <QRect>
#include <cstdint>
#include <memory>
#include <vector>

struct xcb_connection_t;

namespace platform {

class XServerScaler;

class XFramePainter {
 public:
  enum class Scaling { kOnServerWherePossible, kInClient };
  // Null when the window's pixels are not 32-bit words in the server's order.
  static std::unique_ptr<XFramePainter> Create(xcb_connection_t* connection, std::uint32_t window,
                                               Scaling scaling = Scaling::kOnServerWherePossible);
  ~XFramePainter();
  XFramePainter(const XFramePainter&) = delete;
  XFramePainter& operator=(const XFramePainter&) = delete;

  void FillBlack(const QRect& area);
  // The pixels of `changed` (frame coordinates) of the frame the next Draw shows are new.
  // Every change must be told, or the server's copy of the frame goes stale.
  void Take(const QImage& frame, const QRect& changed);
  // Writes the window pixels of `area` (inside `place`) of `frame` (RGB32) scaled to fill
  // `place`.
  void Draw(const QImage& frame, const QRect& place, const QRect& area);
  // Sends what is queued.
  void Flush();
  bool ScalesOnServer() const { return scaler_ != nullptr; }

 private:
  XFramePainter(xcb_connection_t* connection, std::uint32_t window, std::uint8_t depth);
  void Layout(QSize frame, QSize place);
  // Frame row sy blended across for window columns [x0, x0 + w) of the place.
  void HorizontalRow(const QImage& frame, int sy, int x0, int w, std::vector<std::uint32_t>& out);

  xcb_connection_t* connection_;
  std::uint32_t window_;
  std::uint32_t gc_ = 0;
  std::uint8_t depth_;
  std::size_t maxRequestBytes_;
  std::unique_ptr<XServerScaler> scaler_;  // null: scaled here
  bool unscaled_ = false;                  // the last Draw showed the frame at its own size
  // Per window column / row of the place: the first frame pixel and the weight (0..256)
  // of the next.
  QSize frameSize_, placeSize_;
  std::vector<int> srcX_, weightX_, srcY_, weightY_;
  std::vector<std::uint32_t> band_;
  std::vector<std::uint32_t> across_[2];  // two frame rows blended across
};

}  // namespace platform
