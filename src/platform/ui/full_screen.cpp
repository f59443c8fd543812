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

void ShowFullScreenOnStartScreen(QWidget& window) { ShowFullScreenOn(window, StartScreen()); }

void ShowFullScreenOn(QWidget& window, QScreen* screen) {
  window.setWindowFlags(window.windowFlags() | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
  if (screen != nullptr) {
    // A screen of another X screen needs its window made there, not moved there later.
    window.setScreen(screen);
    window.setGeometry(screen->geometry());
    window.winId();  // the native window must exist before it can be given a screen
    if (QWindow* handle = window.windowHandle()) handle->setScreen(screen);
  }
  window.showFullScreen();
}

std::vector<QScreen*> OtherScreens() {
  std::vector<QScreen*> others;
  const QScreen* start = StartScreen();
  for (QScreen* screen : QGuiApplication::screens())
    if (screen != start) others.push_back(screen);
  return others;
}

}  // namespace platform
