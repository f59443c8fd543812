#include "platform/ui/device_window.h"

#include <QPaintEvent>
#include <QPainter>
#include <QRegion>
#include <algorithm>
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
  const bool newSize = frame_.width() != width || frame_.height() != height;
  if (newSize) {
    frame_ = QImage(width, height, QImage::Format_RGB32);
    shown_.assign(static_cast<size_t>(width) * static_cast<size_t>(height), 0);
  }
  // Bounds of the pixels that differ from the frame shown before, so that only they are
  // painted again: between two saver frames that is the walker and what flies.
  int left = width;
  int right = -1;
  int top = height;
  int bottom = -1;
  for (int y = 0; y < height; ++y) {
    const auto* src = reinterpret_cast<const uint32_t*>(reinterpret_cast<const uint8_t*>(pixels) +
                                                        static_cast<std::ptrdiff_t>(y) * pitch);
    // Rows equal to the last frame's (most of them) are passed over at memcmp speed.
    uint32_t* previous = shown_.data() + static_cast<size_t>(y) * static_cast<size_t>(width);
    if (!newSize && std::memcmp(previous, src, static_cast<size_t>(width) * 4) == 0) continue;
    std::memcpy(previous, src, static_cast<size_t>(width) * 4);
    auto* dst = reinterpret_cast<uint32_t*>(frame_.scanLine(y));
    // Back buffers keep B, G, R, A in memory like RGB32; the alpha byte must read opaque.
    int first = -1;
    int last = -1;
    for (int x = 0; x < width; ++x) {
      const uint32_t value = src[x] | 0xFF000000u;
      if (dst[x] != value) {
        if (first < 0) first = x;
        last = x;
        dst[x] = value;
      }
    }
    if (first >= 0) {
      left = std::min(left, first);
      right = std::max(right, last);
      top = std::min(top, y);
      bottom = y;
    }
  }
  if (newSize) {
    left = 0;
    top = 0;
    right = width - 1;
    bottom = height - 1;
  }
  if (right < 0) return;  // nothing changed
  const QRect target = FrameRect(size(), frame_.size());
  if (target.isEmpty()) return;
  // The changed pixels' place on the widget, one pixel wider on each side for the
  // smoothing of a scaled frame.
  const auto mapX = [&](long long x) { return target.x() + static_cast<int>(x * target.width() / width); };
  const auto mapY = [&](long long y) { return target.y() + static_cast<int>(y * target.height() / height); };
  const QRect dirty = QRect(QPoint(mapX(left) - 1, mapY(top) - 1), QPoint(mapX(right + 1) + 1, mapY(bottom + 1) + 1))
                          .intersected(rect());
  if (immediatePaint_) {
    repaint(dirty);
  } else {
    update(dirty);
  }
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

void DeviceWindow::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  const QRect target = frame_.isNull() ? QRect() : FrameRect(size(), frame_.size());
  // Black bars only where the frame does not reach; the painter clips to the event's
  // region.
  for (const QRect& bar : QRegion(event->rect()).subtracted(QRegion(target))) painter.fillRect(bar, Qt::black);
  if (target.isEmpty()) return;
  if (target.size() != frame_.size()) painter.setRenderHint(QPainter::SmoothPixmapTransform);
  painter.drawImage(target, frame_);
}
