// The application object of the window framework: it must exist before any window, and
// before the message loop (platform/loop/message_loop.h) runs.
#pragma once

#include <memory>
#include <string>

class QApplication;

namespace platform {

class Application {
 public:
  // Creates the framework's application object; `argc` and `argv` must outlive it. Only
  // one may exist at a time.
  Application(int& argc, char** argv);
  ~Application();
  Application(const Application&) = delete;
  Application& operator=(const Application&) = delete;

  // The title shown with the program's windows (UTF-8).
  void SetTitle(const std::string& title);
  std::string Title() const;

  // The program is done, with `status`: its windows are closed and its files written.
  // Returns `status` for main to return, except on a Wayland display, where the process
  // ends here with it: Qt 6.4's Wayland client can hang for good in its teardown (its event
  // thread may quit holding a read prepared for it, and the thread reading frame callbacks
  // then waits for that read forever), and nothing is left for the teardown to do.
  int Finish(int status);

 private:
  std::unique_ptr<QApplication> app_;
};

}  // namespace platform
