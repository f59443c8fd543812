#include "platform/ui/application.h"

#include <QApplication>
#include <cstdio>
#include <cstdlib>

namespace platform {

Application::Application(int& argc, char** argv)
    : app_(std::make_unique<QApplication>(argc, argv)) {
  // The windows end the loop themselves; closing the last one must not race them with a quit
  // of its own.
  QApplication::setQuitOnLastWindowClosed(false);
}

Application::~Application() = default;

// Only the application name: a display name would be appended to every window's caption,
// and each window has its own caption. Message boxes without a caption show the name.
void Application::SetTitle(const std::string& title) {
  QApplication::setApplicationName(QString::fromStdString(title));
}

std::string Application::Title() const { return QApplication::applicationName().toStdString(); }

int Application::Finish(int status) {
  if (!QGuiApplication::platformName().startsWith(QLatin1String("wayland"))) return status;
  // The compositor frees what the connection held.
  std::fflush(nullptr);
  std::_Exit(status);
}

}  // namespace platform
