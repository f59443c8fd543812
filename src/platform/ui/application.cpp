#include "platform/ui/application.h"

#include <QApplication>

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

}  // namespace platform
