#include "desktop/session_environment.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

#include "platform/fs/app_paths.h"

namespace desktop {
namespace {

constexpr char kRuntimeVariable[] = "XDG_RUNTIME_DIR";
constexpr char kBusVariable[] = "DBUS_SESSION_BUS_ADDRESS";

bool IsOwnPrivateFolder(const std::string& path) {
  struct stat s {};
  return ::stat(path.c_str(), &s) == 0 && S_ISDIR(s.st_mode) && s.st_uid == ::geteuid() &&
         (s.st_mode & 07777) == 0700;
}

SessionProbe SystemProbe() {
  SessionProbe probe;
  probe.getEnv = [](const char* name) -> std::optional<std::string> {
    const char* value = std::getenv(name);
    if (!value || !*value) return std::nullopt;
    return std::string(value);
  };
  probe.isOwnPrivateFolder = IsOwnPrivateFolder;
  probe.isSocket = [](const std::string& path) {
    struct stat s {};
    return ::stat(path.c_str(), &s) == 0 && S_ISSOCK(s.st_mode);
  };
  probe.uid = ::geteuid();
  return probe;
}

// The program's own runtime folder, made (or made private again) when need be; empty when
// it cannot be had.
std::string OwnRuntimeFolder() {
  const std::string state = platform::Paths().stateDir;
  const std::string folder = state + kOwnRuntimeFolderName;
  if (!platform::MakeDirectories(state)) return {};
  // Made by an earlier run already, or now; the umask may have taken the owner's rights.
  ::mkdir(folder.c_str(), 0700);
  struct stat s {};
  if (::stat(folder.c_str(), &s) == 0 && S_ISDIR(s.st_mode) && s.st_uid == ::geteuid()) {
    ::chmod(folder.c_str(), 0700);
  }
  return IsOwnPrivateFolder(folder) ? folder : std::string();
}

}  // namespace

SessionPlan PlanSession(const SessionProbe& probe) {
  SessionPlan plan;
  std::optional<std::string> runtime = probe.getEnv(kRuntimeVariable);
  if (!runtime || !probe.isOwnPrivateFolder(*runtime)) {
    runtime = "/run/user/" + std::to_string(probe.uid);
    if (probe.isOwnPrivateFolder(*runtime)) {
      plan.runtime = RuntimeFolder::kSession;
      plan.sessionFolder = *runtime;
    } else {
      plan.runtime = RuntimeFolder::kOwn;
      runtime.reset();
    }
  }
  // The D-Bus library looks for the session's bus in the runtime folder when no address is
  // given; the program's own folder never has one.
  plan.noSessionBus =
      !probe.getEnv(kBusVariable) && !(runtime && probe.isSocket(*runtime + "/bus"));
  return plan;
}

void PrepareSessionEnvironment() {
  const SessionPlan plan = PlanSession(SystemProbe());
  if (plan.runtime == RuntimeFolder::kSession) {
    ::setenv(kRuntimeVariable, plan.sessionFolder.c_str(), 1);
  } else if (plan.runtime == RuntimeFolder::kOwn) {
    if (const std::string folder = OwnRuntimeFolder(); !folder.empty()) {
      ::setenv(kRuntimeVariable, folder.c_str(), 1);
    }
  }
  if (plan.noSessionBus) ::setenv(kBusVariable, kNoBusAddress, 1);
}

}  // namespace desktop
