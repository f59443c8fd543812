#include "desktop/session_environment.h"

#include <limits.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>

namespace desktop {
namespace {

constexpr char kRuntimeVariable[] = "XDG_RUNTIME_DIR";
constexpr char kBusVariable[] = "DBUS_SESSION_BUS_ADDRESS";

// The private runtime folder, removed at exit, and the sound library's folder in it. Plain
// arrays: they must outlive every other static that an exit handler may still use, and a
// signal handler reads them.
char privateFolder[PATH_MAX];
char soundFolder[PATH_MAX];

void RemovePrivateFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(privateFolder, ignored);
}

// A signal that ends the program without its exit handlers (the full-screen saver and the
// dialog keep the default action) takes the folder with it first. Only rmdir is safe in a
// handler, so only the sound library's empty folder and the folder itself go; then the
// signal ends the program as it would have.
void RemoveOnSignal(int signal) {
  ::rmdir(soundFolder);
  ::rmdir(privateFolder);
  std::signal(signal, SIG_DFL);
  std::raise(signal);
}

void RemoveOnEndingSignals() {
  for (const int signal : {SIGTERM, SIGINT, SIGHUP}) {
    struct sigaction current {};
    if (::sigaction(signal, nullptr, &current) != 0 || current.sa_handler != SIG_DFL) continue;
    struct sigaction action {};
    action.sa_handler = RemoveOnSignal;
    sigemptyset(&action.sa_mask);
    ::sigaction(signal, &action, nullptr);
  }
}

SessionProbe SystemProbe() {
  SessionProbe probe;
  probe.getEnv = [](const char* name) -> std::optional<std::string> {
    const char* value = std::getenv(name);
    if (!value || !*value) return std::nullopt;
    return std::string(value);
  };
  probe.isOwnPrivateFolder = [](const std::string& path) {
    struct stat s {};
    return ::stat(path.c_str(), &s) == 0 && S_ISDIR(s.st_mode) && s.st_uid == ::geteuid() &&
           (s.st_mode & 07777) == 0700;
  };
  probe.isSocket = [](const std::string& path) {
    struct stat s {};
    return ::stat(path.c_str(), &s) == 0 && S_ISSOCK(s.st_mode);
  };
  probe.uid = ::geteuid();
  return probe;
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
      plan.runtime = RuntimeFolder::kPrivate;
      runtime.reset();
    }
  }
  // The D-Bus library looks for the session's bus in the runtime folder when no address is
  // given; a private folder never has one.
  plan.noSessionBus =
      !probe.getEnv(kBusVariable) && !(runtime && probe.isSocket(*runtime + "/bus"));
  return plan;
}

void PrepareSessionEnvironment() {
  const SessionPlan plan = PlanSession(SystemProbe());
  if (plan.runtime == RuntimeFolder::kSession) {
    ::setenv(kRuntimeVariable, plan.sessionFolder.c_str(), 1);
  } else if (plan.runtime == RuntimeFolder::kPrivate) {
    const char* tmp = std::getenv("TMPDIR");
    const std::string base = tmp && tmp[0] == '/' ? tmp : "/tmp";
    const std::string pattern = base + "/velmorandi-runtime-XXXXXX";
    constexpr char kSound[] = "/pulse";
    if (pattern.size() + sizeof kSound <= sizeof soundFolder) {
      std::memcpy(privateFolder, pattern.c_str(), pattern.size() + 1);
      // mkdtemp makes the folder with mode 0700, as a runtime folder must be.
      if (::mkdtemp(privateFolder) != nullptr) {
        std::memcpy(soundFolder, privateFolder, pattern.size());
        std::memcpy(soundFolder + pattern.size(), kSound, sizeof kSound);
        ::setenv(kRuntimeVariable, privateFolder, 1);
        std::atexit(RemovePrivateFolder);
        RemoveOnEndingSignals();
      }
    }
  }
  if (plan.noSessionBus) ::setenv(kBusVariable, kNoBusAddress, 1);
}

}  // namespace desktop
