// The frame painter on a real X server ($DISPLAY; run by on_xvfb.sh, with and without the
// server's RENDER extension): scaled by the server where it can, the window shows what
// the client's own scaling shows, also after partial changes of the frame drawn in pieces.
#include <gtest/gtest.h>
#include <xcb/render.h>
#include <xcb/xcb.h>

#include <QImage>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <random>
#include <vector>

#include "platform/ui/x_frame_painter.h"

namespace {

using platform::XFramePainter;

struct Connection {
  Connection() : c(xcb_connect(nullptr, nullptr)) {}
  ~Connection() { xcb_disconnect(c); }
  xcb_connection_t* c;
};

xcb_window_t MakeWindow(xcb_connection_t* c, int width, int height) {
  xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
  const xcb_window_t window = xcb_generate_id(c);
  const std::uint32_t values[] = {0xFF00FF, XCB_EVENT_MASK_STRUCTURE_NOTIFY};
  xcb_create_window(c, XCB_COPY_FROM_PARENT, window, screen->root, 0, 0,
                    static_cast<std::uint16_t>(width), static_cast<std::uint16_t>(height), 0,
                    XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual,
                    XCB_CW_BACK_PIXEL | XCB_CW_EVENT_MASK, values);
  xcb_map_window(c, window);
  xcb_flush(c);
  while (xcb_generic_event_t* event = xcb_wait_for_event(c)) {
    const bool mapped = (event->response_type & 0x7F) == XCB_MAP_NOTIFY;
    std::free(event);
    if (mapped) break;
  }
  return window;
}

std::vector<std::uint32_t> Read(xcb_connection_t* c, xcb_window_t window, QSize size) {
  xcb_get_image_reply_t* reply =
      xcb_get_image_reply(c,
                          xcb_get_image(c, XCB_IMAGE_FORMAT_Z_PIXMAP, window, 0, 0,
                                        static_cast<std::uint16_t>(size.width()),
                                        static_cast<std::uint16_t>(size.height()), ~0u),
                          nullptr);
  std::vector<std::uint32_t> pixels;
  if (reply == nullptr) return pixels;
  const auto* data = reinterpret_cast<const std::uint32_t*>(xcb_get_image_data(reply));
  pixels.assign(data, data + static_cast<std::size_t>(size.width()) * size.height());
  for (std::uint32_t& p : pixels) p &= 0xFFFFFFu;
  std::free(reply);
  return pixels;
}

// Noise (the hardest case for a scaler) with the alpha bytes of a back buffer: undefined.
void Noise(QImage& frame, const QRect& area, unsigned seed) {
  std::mt19937 random(seed);
  for (int y = area.top(); y <= area.bottom(); ++y) {
    auto* row = reinterpret_cast<std::uint32_t*>(frame.scanLine(y));
    for (int x = area.left(); x <= area.right(); ++x) row[x] = random();
  }
}

// Largest difference of one colour channel, and the mean over all channels.
struct Difference {
  int largest = 0;
  double mean = 0;
};

Difference Compare(const std::vector<std::uint32_t>& a, const std::vector<std::uint32_t>& b) {
  Difference d;
  long long sum = 0;
  for (std::size_t i = 0; i < a.size() && i < b.size(); ++i) {
    for (int shift = 0; shift < 24; shift += 8) {
      const int delta = std::abs(static_cast<int>((a[i] >> shift) & 0xFF) -
                                 static_cast<int>((b[i] >> shift) & 0xFF));
      d.largest = std::max(d.largest, delta);
      sum += delta;
    }
  }
  d.mean = a.empty() ? 0 : static_cast<double>(sum) / (3.0 * static_cast<double>(a.size()));
  return d;
}

TEST(XFramePainter, ServerScalingShowsWhatClientScalingShowsAfterPartialChanges) {
  Connection x;
  ASSERT_EQ(xcb_connection_has_error(x.c), 0) << "no X server at $DISPLAY";
  const QSize frameSize(160, 120);
  // The frame at its own size, scaled up by whole and odd factors, letterboxed both ways.
  const QSize windows[] = {{160, 120}, {320, 240}, {1000, 700}, {333, 600}, {1920, 1080}};
  // Parts of the frame changed between the two frames, edges and corners included.
  const QRect changes[] = {{0, 0, 7, 5}, {150, 100, 10, 20}, {40, 30, 61, 1}, {0, 60, 160, 9}};
  for (const QSize size : windows) {
    SCOPED_TRACE(testing::Message() << size.width() << " x " << size.height());
    const QRect place(QPoint(0, 0), frameSize.scaled(size, Qt::KeepAspectRatio));
    QImage frame(frameSize, QImage::Format_RGB32);
    Noise(frame, frame.rect(), 1);
    QImage changed = frame.copy();
    for (unsigned i = 0; i < std::size(changes); ++i) Noise(changed, changes[i], 2 + i);

    // One window at a time: the server keeps no pixels of a covered window.
    const xcb_window_t reference = MakeWindow(x.c, size.width(), size.height());
    auto client = XFramePainter::Create(x.c, reference, XFramePainter::Scaling::kInClient);
    ASSERT_TRUE(client);
    client->Draw(changed, place, place);
    client->Flush();
    const std::vector<std::uint32_t> expected = Read(x.c, reference, size);
    client.reset();
    xcb_destroy_window(x.c, reference);

    const xcb_window_t tested = MakeWindow(x.c, size.width(), size.height());
    auto painter = XFramePainter::Create(x.c, tested);
    ASSERT_TRUE(painter);
    EXPECT_EQ(painter->ScalesOnServer(), xcb_get_extension_data(x.c, &xcb_render_id)->present != 0);
    painter->Take(frame, frame.rect());
    painter->Draw(frame, place, place);
    painter->Flush();
    for (const QRect& area : changes) {
      for (int y = area.top(); y <= area.bottom(); ++y)
        std::memcpy(frame.scanLine(y) + area.left() * 4, changed.constScanLine(y) + area.left() * 4,
                    static_cast<std::size_t>(area.width()) * 4);
      painter->Take(frame, area);
    }
    // The place in pieces that split the frame's pixels unevenly.
    const int midX = place.width() / 3 + 1, midY = place.height() / 2 + 1;
    for (const QRect& piece : {QRect(0, 0, midX, midY), QRect(midX, 0, place.width() - midX, midY),
                               QRect(0, midY, place.width(), place.height() - midY)})
      painter->Draw(frame, place, piece);
    painter->Flush();
    const Difference d = Compare(Read(x.c, tested, size), expected);
    // The server may weigh neighbours in 128ths rather than 256ths: a few levels between
    // the noisiest neighbours (3 at most on Xvfb), never a stale or misplaced pixel.
    EXPECT_LE(d.largest, 4) << "mean " << d.mean;
    EXPECT_LT(d.mean, 1.0);
    painter.reset();
    xcb_destroy_window(x.c, tested);
  }
}

}  // namespace
