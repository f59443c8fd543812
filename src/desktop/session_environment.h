// What a screensaver daemon leaves out of the environment it starts its hacks in (MATE's
// keeps little more than HOME, DISPLAY, PATH and LANG), filled in before Qt and SDL start:
// - the session's runtime folder ($XDG_RUNTIME_DIR). Without one, Qt warns on stderr and
//   makes /tmp/runtime-USER, and the sound library makes a folder in /tmp and a link in
//   ~/.config; with the session's folder (/run/user/UID) they find the sound server and the
//   session bus there. Where the session has none, the program uses a private folder of its
//   own beside its debug log (~/.local/state/velmorandi/runtime), kept from run to run, so
//   that however a run ends it leaves nothing new behind;
// - no session bus of its own: with no bus address and no bus in the runtime folder, the
//   D-Bus library would start a bus for the X display (dbus-launch and a dbus-daemon that
//   outlive the program) the moment Qt's accessibility bridge or SDL asks for the session
//   bus. There is no session bus to talk to then, so the address names none.
#pragma once

#include <functional>
#include <optional>
#include <string>

namespace desktop {

struct SessionProbe {
  // The value of an environment variable, nothing when unset or empty.
  std::function<std::optional<std::string>(const char* name)> getEnv;
  // True for a folder owned by this user that only this user may enter (mode 0700).
  std::function<bool(const std::string& path)> isOwnPrivateFolder;
  std::function<bool(const std::string& path)> isSocket;
  unsigned uid = 0;
};

enum class RuntimeFolder {
  kGiven,    // $XDG_RUNTIME_DIR is a usable folder already
  kSession,  // the session's /run/user/UID, left out of the environment
  kOwn,      // none: the program's own, in its state folder
};

inline constexpr char kOwnRuntimeFolderName[] = "runtime";

struct SessionPlan {
  RuntimeFolder runtime = RuntimeFolder::kGiven;
  std::string sessionFolder;  // for kSession
  bool noSessionBus = false;  // no bus can be reached: the address names none
};

SessionPlan PlanSession(const SessionProbe& probe);

// The address that names no bus: the D-Bus library fails to connect to it at once, quietly.
inline constexpr char kNoBusAddress[] = "disabled:";

// Plans with the real environment and carries the plan out in this process's environment.
void PrepareSessionEnvironment();

}  // namespace desktop
