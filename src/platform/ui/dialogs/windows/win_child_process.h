// A program started with CreateProcess, polled without blocking.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "platform/ui/dialogs/dialog_services.h"

namespace platform::ui {

class WinChildProcess : public ChildProcess {
 public:
  // Nothing when the program cannot be started. The command line goes to CreateProcess as
  // it is, with the caller's start-up information, environment and folder.
  static std::unique_ptr<WinChildProcess> Start(const std::wstring& commandLine);
  // A program still running when this object goes is left running: it is the user's editor.
  ~WinChildProcess() override;
  WinChildProcess(const WinChildProcess&) = delete;
  WinChildProcess& operator=(const WinChildProcess&) = delete;

  bool HasEnded() override;

 private:
  explicit WinChildProcess(HANDLE process) : process_(process) {}
  HANDLE process_;
};

}  // namespace platform::ui
