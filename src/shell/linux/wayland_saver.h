// The saver as a native Wayland client, for a session whose compositor is Wayland's: a
// host of the saver runner whose device presents to a full-screen surface on every output
// (WaylandTarget), one game on all of them, letterboxed. Any key or a pointer movement of
// more than 10 frame pixels on any output ends it (the place the pointer enters a surface at
// is the first place seen), as do the compositor's close request and SIGTERM, SIGINT or
// SIGHUP, always with status 0. The window framework stays off the display: Qt's own
// Wayland client would load OpenGL and EGL for a frame drawn here.
#pragma once

#include <memory>
#include <string>

#include "platform/wayland/wayland_target.h"
#include "shell/linux/saver_form.h"
#include "shell/saver_host.h"
#include "shell/saver_runner.h"

namespace shell {

// The session is a Wayland one and the saver is to run there: WAYLAND_DISPLAY is set and
// the window framework was not told to use X ("QT_QPA_PLATFORM=xcb").
bool WaylandSessionWanted();

class WaylandSaver final : private SaverHost, private platform::WaylandTarget::Input {
 public:
  // Connects and puts the saver's surfaces on every output; null, with `error` set, when
  // that cannot be done. Call before the window framework's application object exists,
  // which it keeps off the display.
  static std::unique_ptr<WaylandSaver> Open(std::string& error);

  // The runner's start-up, then the message loop until the saver ends; the exit status.
  int Run(SaverFormOptions options);

 private:
  WaylandSaver() = default;
  // SaverHost. The compositor's events are read once a tick, before it: input ends the
  // saver within a tick, and a buffer the compositor gives back wakes nobody.
  HWND DeviceWindow() override { return target_.get(); }
  bool HandlePendingEvents() override { return target_->HandleEvents(); }
  game::Clock& GameClock() override { return clock_; }
  // WaylandTarget::Input
  void KeyDown() override { runner_->KeyDown(); }
  void MouseMove(int x, int y) override { runner_->MouseMove(x, y); }
  void CloseRequested() override { runner_->Close(); }

  std::unique_ptr<platform::WaylandTarget> target_;
  LoopClock clock_;
  SaverRunner* runner_ = nullptr;  // while Run runs; input is read only then
};

}  // namespace shell
