// The program's entry: the first command-line argument chooses the windows to create, then
// the message loop runs until the main window ends it. A command line of "-" options
// (screensaver managers' and Linux users' way) runs the saver into a given window or full
// screen, with settings of its own.
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

#include "dg/debug_log.h"
#include "platform/fs/app_paths.h"
#include "platform/log/log.h"
#include "platform/ui/application.h"
#include "shell/linux/hack_mode.h"
#include "shell/linux/linux_options.h"
#include "shell/linux/saver_form.h"
#include "shell/linux/settings_modes.h"
#include "shell/linux/wayland_saver.h"
#include "shell/run_environment.h"
#include "shell/run_mode.h"

namespace {

constexpr char kApplicationTitle[] = "ヴェルモランディ";
// Set (to anything) to have the saver report its first presented frame on stderr.
constexpr char kFirstFrameVariable[] = "VELMORANDI_REPORT_FIRST_FRAME";

}  // namespace

int main(int argc, char** argv) {
  const auto started = std::chrono::steady_clock::now();
#if defined(__GLIBC__)
  // Blocks of start-up (decoded pictures, archive entries) go back to the system when
  // freed instead of staying in the heap for the hours the saver runs; nothing that size
  // is allocated per frame.
  mallopt(M_MMAP_THRESHOLD, 128 * 1024);
#endif
  // The command line is read before the window framework starts, so that a request for
  // no window ends without touching the display at all.
  const std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
  shell::LinuxRequest dashed;
  if (shell::IsLinuxCommandLine(args)) {
    dashed = shell::ParseLinuxCommandLine(args);
    switch (dashed.action) {
      case shell::LinuxAction::kHelp:
        std::fputs(shell::Usage().c_str(), stdout);
        return 0;
      case shell::LinuxAction::kVersion:
        std::printf("velmorandi %s\n", VELMORANDI_VERSION);
        return 0;
      case shell::LinuxAction::kError:
        std::fprintf(stderr, "velmorandi: %s\n%s", dashed.error.c_str(), shell::Usage().c_str());
        return shell::kUsageExitCode;
      case shell::LinuxAction::kRun:
        break;
    }
  }
  const shell::RunRequest request = shell::IsLinuxCommandLine(args)
                                        ? shell::RunRequest{shell::RunMode::kSaver, 0}
                                        : shell::ParseCommandLine(args);
  if (request.mode == shell::RunMode::kNone) {
    if (const std::string refusal = shell::PreviewRequestRefusal(args); !refusal.empty()) {
      std::fprintf(stderr, "%s\n", refusal.c_str());
    }
    return 0;
  }
  // The sound library would otherwise catch SIGINT and SIGTERM to post a quit event that
  // nothing here reads, and a saver that a screensaver manager stops with SIGTERM would
  // keep running. Set before the library starts; a value from the environment wins.
  setenv("SDL_NO_SIGNAL_HANDLERS", "1", 0);
  // Over a file size limit a write then fails with EFBIG and the save reports it, instead of
  // the signal ending the program with the settings half-saved.
  std::signal(SIGXFSZ, SIG_IGN);
  // Without a session bus, the bus library would start one of its own (dbus-launch, and a
  // bus daemon that outlives the saver) the moment the sound or window library asks for
  // one. The saver needs none: an address that names no transport makes those requests
  // fail at once.
  if (request.mode == shell::RunMode::kSaver) {
    const char* bus = std::getenv("DBUS_SESSION_BUS_ADDRESS");
    if (bus == nullptr || *bus == '\0') setenv("DBUS_SESSION_BUS_ADDRESS", "disabled:", 1);
  }

  platform::SetLogSink([](std::string_view m) { dg::DebugLog(m); });
  if (dashed.DrawsIntoWindow()) shell::PrepareHackMode();
  // A Wayland session gets the saver as a Wayland client of its own; where that cannot be
  // had, the X saver runs on the session's X server, if it has one.
  std::unique_ptr<shell::WaylandSaver> waylandSaver;
  if (request.mode == shell::RunMode::kSaver && !dashed.DrawsIntoWindow() &&
      shell::WaylandSessionWanted()) {
    std::string error;
    waylandSaver = shell::WaylandSaver::Open(error);
    if (!waylandSaver) {
      const char* xDisplay = std::getenv("DISPLAY");
      if (xDisplay == nullptr || *xDisplay == '\0') {
        std::fprintf(stderr, "velmorandi: %s\n", error.c_str());
        return 1;
      }
      std::fprintf(stderr, "velmorandi: %s; the saver runs on X instead\n", error.c_str());
      setenv("QT_QPA_PLATFORM", "xcb", 1);
    }
  }
  // The preview lives in the control panel's X window: in a Wayland session too it must be
  // an X client (on Xwayland), whichever platform Qt would pick there.
  if (request.mode == shell::RunMode::kPreview) setenv("QT_QPA_PLATFORM", "xcb", 0);
  platform::Application application(argc, argv);
  application.SetTitle(kApplicationTitle);

  switch (request.mode) {
    case shell::RunMode::kSaver: {
      if (dashed.DrawsIntoWindow()) return shell::RunHackMode(dashed);
      shell::SaverFormOptions options;
      options.paths = platform::Paths();
      options.overrides = dashed.overrides;
      options.seed = shell::SeedFromEnvironment();
      if (std::getenv(kFirstFrameVariable) != nullptr) options.reportFirstFrameSince = started;
      if (waylandSaver) return waylandSaver->Run(std::move(options));
      shell::TVelmorandiSaverForm form(options);
      return form.Run();
    }
    case shell::RunMode::kPreview:
      return shell::RunPreviewMode(request.parentWindow);
    case shell::RunMode::kSettings:
      return application.Finish(shell::RunSettingsMode(shell::SettingsShow::kByMessageLoop));
    case shell::RunMode::kSettingsShown:
      return application.Finish(shell::RunSettingsMode(shell::SettingsShow::kExplicitly));
    case shell::RunMode::kNone:
      break;
  }
  return 0;
}
