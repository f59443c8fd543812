#include "platform/ui/full_screen.h"

#include <QCursor>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <QWindow>

namespace platform {

QScreen* StartScreen() {
  if (QScreen* screen = QGuiApplication::screenAt(QCursor::pos())) return screen;
  return QGuiApplication::primaryScreen();
}

void ShowFullScreenOnStartScreen(QWidget& window) {
  window.setWindowFlags(window.windowFlags() | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
  if (QScreen* screen = StartScreen()) {
    window.setGeometry(screen->geometry());
    window.winId();  // the native window must exist before it can be given a screen
    if (QWindow* handle = window.windowHandle()) handle->setScreen(screen);
  }
  window.showFullScreen();
}

}  // namespace platform
