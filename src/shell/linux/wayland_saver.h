// The saver as a native Wayland client, for a session whose compositor is Wayland's: one
// game shown full screen and letterboxed on every output through WaylandTarget, ended by
// any key or a pointer movement of more than 10 frame pixels on any output (the place the
// pointer enters a surface at is the first place seen), by the compositor's close request,
// or by SIGTERM, SIGINT or SIGHUP, always with status 0. The window framework stays off
// the display: Qt's own Wayland client would load OpenGL and EGL for a frame drawn here.
#pragma once

#include <memory>
#include <string>

#include "platform/ui/application.h"
#include "platform/wayland/wayland_target.h"
#include "shell/input_rules.h"
#include "shell/linux/saver_form.h"

namespace shell {

// The session is a Wayland one and the saver is to run there: WAYLAND_DISPLAY is set and
// the window framework was not told to use X ("QT_QPA_PLATFORM=xcb").
bool WaylandSessionWanted();

class WaylandSaver final : private platform::WaylandTarget::Input {
 public:
  // Connects and puts the saver's surfaces on every output; null, with `error` set, when
  // that cannot be done. Call before the application object exists, which it keeps off
  // the display.
  static std::unique_ptr<WaylandSaver> Open(std::string& error);

  // Runs the saver until it ends; returns the exit status.
  int Run(platform::Application& application, const SaverFormOptions& options);

 private:
  WaylandSaver() = default;
  void KeyDown() override;
  void MouseMove(int x, int y) override;
  void CloseRequested() override;

  std::unique_ptr<platform::WaylandTarget> target_;
  MouseRule mouse_;
  bool closing_ = false;
};

}  // namespace shell
