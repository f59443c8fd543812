// The saver on a monitor other than the saver window's: the same frames, letterboxed on
// that monitor, and its key presses and mouse moves handed to the saver window, so that
// input on any monitor ends the saver.
#pragma once

#include <QPoint>
#include <functional>

#include "platform/ui/device_window.h"

namespace shell {

// Size of the frame the saver draws; the mouse rule measures in its pixels.
inline constexpr int kFrameWidth = 640;
inline constexpr int kFrameHeight = 480;

// Where a point of `window` lies in the frame the window shows letterboxed (outside it
// when the point is on a bar).
QPoint FramePoint(const QWidget& window, QPoint point);

class MonitorWindow final : public DeviceWindow {
 public:
  MonitorWindow(std::function<void()> keyDown, std::function<void(QPoint)> mouseMoveInFrame);

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void enterEvent(QEnterEvent* event) override;

 private:
  std::function<void()> keyDown_;
  std::function<void(QPoint)> mouseMove_;
};

}  // namespace shell
