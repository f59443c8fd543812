// A program started with posix_spawnp, polled without blocking.
#pragma once

#include <sys/types.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/ui/dialogs/dialog_services.h"

namespace platform::ui {

class PosixChildProcess : public ChildProcess {
 public:
  // Nothing when the program cannot be started (not found, not executable, empty argv).
  static std::unique_ptr<PosixChildProcess> Start(const std::vector<std::string>& argv);
  // A program still running when this object goes is left running: it is the user's
  // editor, and its exit status is reaped by the system when this process ends.
  ~PosixChildProcess() override = default;

  bool HasEnded() override;

 private:
  explicit PosixChildProcess(pid_t pid) : pid_(pid) {}
  pid_t pid_;
  bool ended_ = false;
};

}  // namespace platform::ui
