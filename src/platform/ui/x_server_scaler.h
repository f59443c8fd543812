// Scales frames into an X window on the server. The server keeps its own copy of the frame
// in a pixmap of the frame's size, and the RENDER extension draws window areas from it
// through a scaling transform with the bilinear filter (edges padded, so the border pixels
// blend with themselves). What crosses the connection is the frame pixels that changed and
// one small request per window area: neither the client's work nor the bytes sent follow
// the window's size.
#pragma once

#include <QImage>
#include <QRect>
#include <QSize>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

struct xcb_connection_t;

namespace platform {

class XServerScaler {
 public:
  // Null when the server cannot do it: no RENDER 0.10 or later (padded edges), or no picture
  // format for the window's visual or for 24-bit frame pixels in the server's order.
  static std::unique_ptr<XServerScaler> Create(xcb_connection_t* connection, std::uint32_t window);
  ~XServerScaler();
  XServerScaler(const XServerScaler&) = delete;
  XServerScaler& operator=(const XServerScaler&) = delete;

  // The pixels of `changed` (frame coordinates) of `frame` (RGB32, alpha ignored) are new.
  // A frame of another size than the last replaces the server's copy whole.
  void Take(const QImage& frame, const QRect& changed);
  // The server's copy of the frame is out of date: the next Draw or Take sends it whole.
  void Forget() { frameSize_ = QSize(); }
  // Draws the window pixels of `area` (inside `place`) of `frame` scaled to fill `place`.
  void Draw(const QImage& frame, const QRect& place, const QRect& area);

 private:
  struct Formats {
    std::uint32_t window = 0;  // the window visual's picture format
    std::uint32_t frame = 0;   // 24-bit x8r8g8b8
  };
  XServerScaler(xcb_connection_t* connection, std::uint32_t window, Formats formats);
  // A pixmap of the frame's size holding the whole frame.
  void Replace(const QImage& frame);
  void Upload(const QImage& frame, const QRect& part);
  void Layout(QSize place);

  xcb_connection_t* connection_;
  std::uint32_t window_;
  Formats formats_;
  std::uint32_t target_ = 0;  // picture of the window
  std::uint32_t pixmap_ = 0, source_ = 0, gc_ = 0;
  QSize frameSize_, placeSize_;
  std::size_t maxRequestBytes_;
  std::vector<std::uint32_t> band_;  // rows of a part narrower than the frame
};

}  // namespace platform
