#include "platform/ui/device_window.h"

#include <QPainter>
#include <cstring>

DeviceWindow::DeviceWindow(QWidget* parent) : QWidget(parent) {
  // Every pixel is painted each time; nothing of the background must show through.
  setAttribute(Qt::WA_OpaquePaintEvent);
  setAutoFillBackground(false);
}

DeviceWindow::~DeviceWindow() {
  // Devices must learn of the loss while the widget still exists.
  NotifyGone();
}

void DeviceWindow::Show(const uint32_t* pixels, int width, int height, int pitch) {
  if (width <= 0 || height <= 0) return;
  if (frame_.width() != width || frame_.height() != height) {
    frame_ = QImage(width, height, QImage::Format_RGB32);
  }
  for (int y = 0; y < height; ++y) {
    const auto* src = reinterpret_cast<const uint32_t*>(reinterpret_cast<const uint8_t*>(pixels) +
                                                        static_cast<std::ptrdiff_t>(y) * pitch);
    auto* dst = reinterpret_cast<uint32_t*>(frame_.scanLine(y));
    // Back buffers keep B, G, R, A in memory like RGB32; the alpha byte must read opaque.
    for (int x = 0; x < width; ++x) dst[x] = src[x] | 0xFF000000u;
  }
  update();
}

void DeviceWindow::ResizeClient(int width, int height) { resize(width, height); }

void DeviceWindow::SetMode(Mode mode) {
  if (mode == Mode::FullScreen) {
    showFullScreen();
  } else if (isFullScreen()) {
    showNormal();
  }
}

QRect DeviceWindow::FrameRect(QSize areaSize, QSize frameSize) {
  if (frameSize.isEmpty() || areaSize.isEmpty()) return {};
  const QSize fitted = frameSize.scaled(areaSize, Qt::KeepAspectRatio);
  return {(areaSize.width() - fitted.width()) / 2, (areaSize.height() - fitted.height()) / 2,
          fitted.width(), fitted.height()};
}

void DeviceWindow::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), Qt::black);
  if (frame_.isNull()) return;
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  painter.drawImage(FrameRect(size(), frame_.size()), frame_);
}
