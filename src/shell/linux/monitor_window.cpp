#include "shell/linux/monitor_window.h"

#include <QEnterEvent>
#include <QKeyEvent>
#include <QMouseEvent>

namespace shell {

QPoint FramePoint(const QWidget& window, QPoint point) {
  const QRect frame = DeviceWindow::FrameRect(window.size(), QSize(kFrameWidth, kFrameHeight));
  if (frame.isEmpty()) return point;
  return {
      static_cast<int>(static_cast<long long>(point.x() - frame.x()) * kFrameWidth / frame.width()),
      static_cast<int>(static_cast<long long>(point.y() - frame.y()) * kFrameHeight /
                       frame.height())};
}

MonitorWindow::MonitorWindow(std::function<void()> keyDown,
                             std::function<void(QPoint)> mouseMoveInFrame)
    : keyDown_(std::move(keyDown)), mouseMove_(std::move(mouseMoveInFrame)) {
  setMouseTracking(true);
  SetPaintTiming(PaintTiming::kImmediate);
  setFocusPolicy(Qt::StrongFocus);
}

void MonitorWindow::keyPressEvent(QKeyEvent* event) {
  event->accept();
  keyDown_();
}

void MonitorWindow::mouseMoveEvent(QMouseEvent* event) {
  mouseMove_(FramePoint(*this, event->position().toPoint()));
}

// Where the pointer enters counts as a position seen, as a move there would.
void MonitorWindow::enterEvent(QEnterEvent* event) {
  mouseMove_(FramePoint(*this, event->position().toPoint()));
}

}  // namespace shell
