// Keeps the X server's own screen saver and display power saving from starting while a
// full-screen saver runs. The server lifts the suspension when the connection that asked
// for it closes, so it ends with the program however the program ends.
#pragma once

struct xcb_connection_t;

namespace platform {

class ScreenSaverSuspension {
 public:
  // Connects to $DISPLAY, suspends the server's saver and wakes a blanked screen. Without
  // a display or the MIT-SCREEN-SAVER extension it does nothing.
  ScreenSaverSuspension();
  ~ScreenSaverSuspension();
  ScreenSaverSuspension(const ScreenSaverSuspension&) = delete;
  ScreenSaverSuspension& operator=(const ScreenSaverSuspension&) = delete;

  bool Active() const { return active_; }

 private:
  xcb_connection_t* connection_ = nullptr;
  bool active_ = false;
};

}  // namespace platform
