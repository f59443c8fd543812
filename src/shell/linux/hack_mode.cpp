#include "shell/linux/hack_mode.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "platform/fs/app_paths.h"
#include "platform/ui/x_window_target.h"
#include "shell/run_environment.h"
#include "shell/saver_host.h"
#include "shell/saver_runner.h"

namespace shell {
namespace {

constexpr char kManagerWindowVariable[] = "XSCREENSAVER_WINDOW";

// The hack as a host of the saver runner: the manager's window is its only window; it takes
// no input, and ends when that window or the X server goes.
class HackHost final : public SaverHost {
 public:
  explicit HackHost(platform::XWindowTarget& target) : target_(target) {}
  HWND DeviceWindow() override { return &target_; }
  bool HandlePendingEvents() override { return target_.HandleEvents(); }
  game::Clock& GameClock() override { return clock_; }

 private:
  platform::XWindowTarget& target_;
  LoopClock clock_;
};

}  // namespace

void PrepareHackMode() { setenv("QT_QPA_PLATFORM", "offscreen", 1); }

int RunHackMode(const LinuxRequest& request) {
  std::uint32_t window = 0;  // the root window
  if (request.windowId) {
    window = *request.windowId;
  } else if (const char* named = std::getenv(kManagerWindowVariable); named && *named) {
    const std::optional<std::uint32_t> id = ParseXWindowId(named);
    if (!id) {
      std::fprintf(stderr, "velmorandi: $%s is not a window id: %s\n", kManagerWindowVariable,
                   named);
      return 1;
    }
    window = *id;
  }
  std::string error;
  const std::unique_ptr<platform::XWindowTarget> target =
      platform::XWindowTarget::Open(window, error);
  if (!target) {
    std::fprintf(stderr, "velmorandi: %s\n", error.c_str());
    return 1;
  }
  // A write to a lost X connection must end in an error to handle, not in a signal.
  std::signal(SIGPIPE, SIG_IGN);

  HackHost host(*target);
  SaverRunOptions options;
  options.paths = platform::Paths();
  options.overrides = request.overrides;
  options.seed = SeedFromEnvironment();
  SaverRunner runner(host, std::move(options));
  return runner.Run();
}

}  // namespace shell
