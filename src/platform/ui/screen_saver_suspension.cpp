#include "platform/ui/screen_saver_suspension.h"

#include <xcb/screensaver.h>
#include <xcb/xcb.h>

#include <cstdlib>

namespace platform {

ScreenSaverSuspension::ScreenSaverSuspension() {
  connection_ = xcb_connect(nullptr, nullptr);
  if (xcb_connection_has_error(connection_)) return;
  const xcb_query_extension_reply_t* extension =
      xcb_get_extension_data(connection_, &xcb_screensaver_id);
  if (extension == nullptr || !extension->present) return;
  // Suspending also holds back the display power saving timers.
  xcb_generic_error_t* error =
      xcb_request_check(connection_, xcb_screensaver_suspend_checked(connection_, 1));
  active_ = error == nullptr;
  std::free(error);
  xcb_force_screen_saver(connection_, XCB_SCREEN_SAVER_RESET);
  xcb_flush(connection_);
}

ScreenSaverSuspension::~ScreenSaverSuspension() {
  if (active_) {
    xcb_screensaver_suspend(connection_, 0);
    xcb_flush(connection_);
  }
  xcb_disconnect(connection_);
}

}  // namespace platform
