#include "platform/ui/device_window.h"

#include <QGuiApplication>
#include <QPaintEvent>
#include <QPainter>
#include <QRegion>
#include <algorithm>

#include "platform/ui/x_frame_painter.h"

DeviceWindow::DeviceWindow(QWidget* parent) : QWidget(parent) {
  // Every pixel is painted each time; nothing of the background must show through.
  setAttribute(Qt::WA_OpaquePaintEvent);
  setAutoFillBackground(false);
  if (QGuiApplication::platformName() == QLatin1String("xcb")) {
    onX_ = true;
    setAttribute(Qt::WA_PaintOnScreen);
  }
}

DeviceWindow::~DeviceWindow() {
  // Devices must learn of the loss while the widget still exists.
  NotifyGone();
}

void DeviceWindow::Show(const uint32_t* pixels, int width, int height, int pitch) {
  ShowChanges(pixels, width, height, pitch, FrameChanges{});
}

void DeviceWindow::ShowChanges(const uint32_t* pixels, int width, int height, int pitch,
                               const FrameChanges& changes) {
  if (width <= 0 || height <= 0) return;
  const QSize size(width, height);
  // On X the window shows from the presenter's kept copy of the frame when there is one;
  // a painter (grabs, other platforms) needs an opaque image of its own.
  const bool showKept = onX_ && changes.kept != nullptr;
  const bool whole = changes.whole || changes.presenter == nullptr ||
                     changes.presenter != presenter_ || frameSize_ != size ||
                     showKept != (kept_ != nullptr);
  presenter_ = changes.presenter;
  frameSize_ = size;
  if (showKept) {
    kept_ = changes.kept;
    frame_ = QImage();
  } else {
    kept_.reset();
    if (frame_.size() != size) frame_ = QImage(width, height, QImage::Format_RGB32);
  }
  QRegion dirty;
  const QImage shown = xPainter_ != nullptr ? Shown() : QImage();
  const auto take = [&](const ChangedRect& area) {
    if (!showKept) CopyPixels(pixels, pitch, area);
    // A painter made later starts from the whole frame.
    if (xPainter_ != nullptr)
      xPainter_->Take(shown,
                      QRect(QPoint(area.left, area.top), QPoint(area.right - 1, area.bottom - 1)));
    dirty += WidgetArea(area);
  };
  if (whole) {
    take({0, 0, width, height});
  } else {
    for (int i = 0; i < changes.count; ++i) {
      const ChangedRect& r = changes.rects[i];
      const ChangedRect area{std::max(r.left, 0), std::max(r.top, 0), std::min(r.right, width),
                             std::min(r.bottom, height)};
      if (area.left < area.right && area.top < area.bottom) take(area);
    }
  }
  if (!dirty.isEmpty()) Repaint(dirty, shown);
  FrameShown();
}

void DeviceWindow::CopyPixels(const uint32_t* pixels, int pitch, const ChangedRect& area) {
  const size_t n = static_cast<size_t>(area.right - area.left);
  for (int y = area.top; y < area.bottom; ++y) {
    const auto* src = reinterpret_cast<const uint32_t*>(reinterpret_cast<const uint8_t*>(pixels) +
                                                        static_cast<std::ptrdiff_t>(y) * pitch) +
                      area.left;
    auto* dst = reinterpret_cast<uint32_t*>(frame_.scanLine(y)) + area.left;
    // Back buffers keep B, G, R, A in memory like RGB32; the alpha byte must read opaque.
    for (size_t x = 0; x < n; ++x) dst[x] = src[x] | 0xFF000000u;
  }
}

QRect DeviceWindow::WidgetArea(const ChangedRect& area) const {
  const QRect target = FrameRect(size(), frameSize_);
  if (target.isEmpty()) return {};
  const int width = frameSize_.width(), height = frameSize_.height();
  const auto mapX = [&](long long x) {
    return target.x() + static_cast<int>(x * target.width() / width);
  };
  const auto mapY = [&](long long y) {
    return target.y() + static_cast<int>(y * target.height() / height);
  };
  if (target.size() == frameSize_) {
    return QRect(QPoint(mapX(area.left), mapY(area.top)),
                 QPoint(mapX(area.right) - 1, mapY(area.bottom) - 1));
  }
  // A smoothly scaled frame mixes each widget pixel from the frame pixels around it: the
  // changed pixels reach one frame pixel further on each side, and one widget pixel more
  // covers the rounding of the mapping.
  const int left = std::max(area.left - 1, 0), top = std::max(area.top - 1, 0);
  const int right = std::min(area.right + 1, width), bottom = std::min(area.bottom + 1, height);
  return QRect(QPoint(mapX(left) - 1, mapY(top) - 1), QPoint(mapX(right), mapY(bottom)))
      .intersected(rect());
}

QImage DeviceWindow::Frame() const {
  if (kept_ == nullptr) return frame_;
  QImage frame(frameSize_, QImage::Format_RGB32);
  const uint32_t* src = kept_.get();
  for (int y = 0; y < frame.height(); ++y) {
    auto* dst = reinterpret_cast<uint32_t*>(frame.scanLine(y));
    for (int x = 0; x < frame.width(); ++x) dst[x] = *src++ | 0xFF000000u;
  }
  return frame;
}

QImage DeviceWindow::Shown() const {
  // A view, never a shared copy: writing frame_ while one exists would detach it. The
  // painter ignores the kept pixels' alpha bytes.
  if (kept_ == nullptr) {
    if (frame_.isNull()) return {};
    return View(frame_.constBits(), frame_.size(), frame_.bytesPerLine());
  }
  return View(reinterpret_cast<const uchar*>(kept_.get()), frameSize_, frameSize_.width() * 4);
}

QImage DeviceWindow::View(const uchar* bits, QSize size, qsizetype bytesPerLine) const {
  // Made again only when the memory or its shape changes: each new image allocates.
  if (view_.constBits() != bits || view_.size() != size || view_.bytesPerLine() != bytesPerLine)
    view_ = QImage(bits, size.width(), size.height(), bytesPerLine, QImage::Format_RGB32);
  return view_;
}

void DeviceWindow::Repaint(const QRegion& region, const QImage& shown) {
  // On X the changed pixels go out at once: a frame needs none of the toolkit's repaint
  // bookkeeping, and exposures still arrive as paint events.
  if (onX_ && isVisible() && PaintOnX(region, shown.isNull() ? Shown() : shown)) return;
  if (immediatePaint_) {
    repaint(region);
  } else {
    update(region);
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

QPaintEngine* DeviceWindow::paintEngine() const { return onX_ ? nullptr : QWidget::paintEngine(); }

bool DeviceWindow::PaintOnX(const QRegion& region, const QImage& frame) {
  if (!xPainter_) {
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (x11 == nullptr) return false;
    xPainter_ = platform::XFramePainter::Create(x11->connection(), static_cast<uint32_t>(winId()));
    if (!xPainter_) return false;
  }
  const QRect target = frame.isNull() ? QRect() : FrameRect(size(), frame.size());
  for (const QRect& part : region) {
    // A frame's changes lie inside its place; only exposures reach the bars beside it.
    if (!target.contains(part)) {
      for (const QRect& bar : QRegion(part).subtracted(QRegion(target))) xPainter_->FillBlack(bar);
    }
    xPainter_->Draw(frame, target, part);
  }
  xPainter_->Flush();
  return true;
}

void DeviceWindow::paintEvent(QPaintEvent* event) {
  // A grab paints through a painter into an image; the screen is painted on X directly.
  if (onX_ && redirected(nullptr) == nullptr) {
    if (PaintOnX(event->region(), Shown())) return;
    // Not a window X can take pixels for as they are: Qt's own painting from now on.
    onX_ = false;
    frame_ = Frame();
    kept_.reset();
    setAttribute(Qt::WA_PaintOnScreen, false);
    update();
    return;
  }
  QPainter painter(this);
  // Only a grab on X paints from the kept pixels: it takes an opaque copy.
  const QImage frame = Frame();
  const QRect target = frame.isNull() ? QRect() : FrameRect(size(), frame.size());
  // Black bars only where the frame does not reach; the painter clips to the event's
  // region.
  for (const QRect& bar : event->region().subtracted(QRegion(target)))
    painter.fillRect(bar, Qt::black);
  if (target.isEmpty()) return;
  if (target.size() == frame.size()) {
    // Unscaled, each part of the region is a plain copy of the same part of the frame.
    for (const QRect& part : event->region()) {
      const QRect inFrame = part.intersected(target);
      if (!inFrame.isEmpty())
        painter.drawImage(inFrame.topLeft(), frame, inFrame.translated(-target.topLeft()));
    }
    return;
  }
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  painter.drawImage(target, frame);
}
