#include "platform/ui/dialogs/linux/child_process.h"

#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>

extern char** environ;

namespace platform::ui {

std::unique_ptr<PosixChildProcess> PosixChildProcess::Start(const std::vector<std::string>& argv) {
  if (argv.empty() || argv.front().empty()) return nullptr;
  std::vector<char*> args;
  for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
  args.push_back(nullptr);
  pid_t pid = 0;
  // glibc's posix_spawnp reports a failed exec (missing program) as its result.
  if (::posix_spawnp(&pid, args[0], nullptr, nullptr, args.data(), environ) != 0) return nullptr;
  return std::unique_ptr<PosixChildProcess>(new PosixChildProcess(pid));
}

bool PosixChildProcess::HasEnded() {
  if (ended_) return true;
  int status = 0;
  pid_t result = 0;
  do {
    result = ::waitpid(pid_, &status, WNOHANG);
  } while (result < 0 && errno == EINTR);
  // A result of -1 (no such child) also means there is nothing left to wait for.
  ended_ = result != 0;
  return ended_;
}

}  // namespace platform::ui
