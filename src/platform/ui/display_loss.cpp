#include "platform/ui/display_loss.h"

#include <unistd.h>
#include <xcb/xcb.h>

#include <QGuiApplication>
#include <cstdlib>

namespace platform {
namespace {

struct Armed {
  int status = 0;
  std::function<void()> cleanUp;
};

// Never destroyed: it is read from an exit handler.
Armed*& TheArmed() {
  static Armed* armed = nullptr;
  return armed;
}

bool DisplayConnectionBroken() {
  const auto* x11 =
      qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
  xcb_connection_t* connection = x11 ? x11->connection() : nullptr;
  return connection != nullptr && xcb_connection_has_error(connection) != 0;
}

void OnExit() {
  Armed* armed = TheArmed();
  if (armed == nullptr || !DisplayConnectionBroken()) return;
  if (armed->cleanUp) armed->cleanUp();
  // The framework's own exit status is replaced; what the rest of the exit would free goes
  // with the process.
  ::_exit(armed->status);
}

}  // namespace

DisplayLossExit::DisplayLossExit(int status, std::function<void()> cleanUp) {
  static const bool registered = std::atexit(OnExit) == 0;
  (void)registered;
  delete TheArmed();
  TheArmed() = new Armed{status, std::move(cleanUp)};
}

DisplayLossExit::~DisplayLossExit() {
  delete TheArmed();
  TheArmed() = nullptr;
}

}  // namespace platform
