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

 private:
  std::unique_ptr<QApplication> app_;
};

}  // namespace platform
