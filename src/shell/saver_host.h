// What a system's window layer does for the saver runner (saver_runner.h). A host makes the
// saver's windows (full screen on every monitor, or inside a window another program owns),
// hands the runner the one its device presents into, and feeds their input to the runner's
// rules. Everything else (start-up, tick, timing, the end) is the runner's, once for all.
#pragma once

#include "game/clock.h"
#include "platform/d3d9/d3d9.h"
#include "shell/saver_device.h"

namespace shell {

class SaverHost {
 public:
  // The window the device goes "full screen" on; it exists for the runner's whole life.
  virtual HWND DeviceWindow() = 0;

  // The device is up, before anything is drawn: full screen at 640 x 480, or windowed with a
  // 640 x 480 back buffer on a display that kept its mode, which the host shows scaled.
  virtual void DeviceStarted(SaverDisplay display) { (void)display; }

  // The pointer over the saver's windows: hidden once the device is up, shown again when the
  // saver closes on input.
  enum class Cursor { kHidden, kShown };
  virtual void SetCursor(Cursor cursor) { (void)cursor; }

  // Handles what the window system has queued for windows the message loop does not serve
  // (a foreign window's events, another display connection), before each idle call. False
  // when the saver's windows are gone: the saver then ends.
  virtual bool HandlePendingEvents() { return true; }

  // Right before the device is released: what the host holds of the device goes now.
  virtual void ReleasingDevice() {}

  // The game's clock. A host on a message loop leaves the tick's sleep to the loop, which
  // handles messages meanwhile; a headless host sleeps on the test clock.
  virtual game::Clock& GameClock() = 0;

 protected:
  ~SaverHost() = default;
};

}  // namespace shell
