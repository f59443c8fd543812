#include "desktop/session_environment.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

namespace desktop {
namespace {

struct World {
  std::map<std::string, std::string> env;
  std::set<std::string> privateFolders;
  std::set<std::string> sockets;

  SessionProbe Probe() const {
    SessionProbe probe;
    probe.getEnv = [this](const char* name) -> std::optional<std::string> {
      const auto found = env.find(name);
      if (found == env.end()) return std::nullopt;
      return found->second;
    };
    probe.isOwnPrivateFolder = [this](const std::string& p) { return privateFolders.count(p) > 0; };
    probe.isSocket = [this](const std::string& p) { return sockets.count(p) > 0; };
    probe.uid = 1000;
    return probe;
  }
};

TEST(SessionEnvironment, FillsInTheRuntimeFolderAndNamesNoBusWhereNoneIsReachable) {
  struct Case {
    const char* name;
    World world;
    RuntimeFolder runtime;
    bool noSessionBus;
  };
  const std::string run = "/run/user/1000";
  const Case cases[] = {
      {"a full session",
       {{{"XDG_RUNTIME_DIR", run}}, {run}, {run + "/bus"}},
       RuntimeFolder::kGiven,
       false},
      {"a bus address given",
       {{{"DBUS_SESSION_BUS_ADDRESS", "unix:path=/x"}}, {}, {}},
       RuntimeFolder::kOwn,
       false},
      {"the daemon left the session's folder out",
       {{}, {run}, {run + "/bus"}},
       RuntimeFolder::kSession,
       false},
      {"the session's folder without a bus", {{}, {run}, {}}, RuntimeFolder::kSession, true},
      {"no session at all", {{}, {}, {}}, RuntimeFolder::kOwn, true},
      {"a folder given that is not private",
       {{{"XDG_RUNTIME_DIR", "/tmp"}}, {}, {"/tmp/bus"}},
       RuntimeFolder::kOwn,
       true},
  };
  for (const Case& c : cases) {
    const SessionPlan plan = PlanSession(c.world.Probe());
    EXPECT_EQ(plan.runtime, c.runtime) << c.name;
    EXPECT_EQ(plan.sessionFolder, c.runtime == RuntimeFolder::kSession ? run : "") << c.name;
    EXPECT_EQ(plan.noSessionBus, c.noSessionBus) << c.name;
  }
}

}  // namespace
}  // namespace desktop
