#include "platform/ui/cursor.h"

#include <QCursor>
#include <QGuiApplication>

namespace platform {

namespace {
int displayCount = 0;
bool blanked = false;
}  // namespace

int ShowCursor(bool show) {
  displayCount += show ? 1 : -1;
  const bool wantBlank = displayCount < 0;
  if (wantBlank != blanked && QGuiApplication::instance() != nullptr) {
    if (wantBlank) {
      QGuiApplication::setOverrideCursor(QCursor(Qt::BlankCursor));
    } else {
      QGuiApplication::restoreOverrideCursor();
    }
    blanked = wantBlank;
  }
  return displayCount;
}

}  // namespace platform
