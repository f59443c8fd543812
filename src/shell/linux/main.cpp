// The program's entry: the mode argument of the command line chooses the windows to create,
// then the message loop runs until the main window ends it. "-" options (screensaver
// managers' and Linux users' way), before or after it, run the saver into a given window or
// full screen, with settings of its own; alone they run the saver.
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

#include "desktop/session_environment.h"
#include "desktop/xscreensaver_list.h"
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
  const shell::LinuxRequest request = shell::ParseLinuxCommandLine(args);
  switch (request.action) {
    case shell::LinuxAction::kHelp:
      std::fputs(shell::Usage().c_str(), stdout);
      return 0;
    case shell::LinuxAction::kVersion:
      std::printf("velmorandi %s\n", VELMORANDI_VERSION);
      return 0;
    case shell::LinuxAction::kAddToXscreensaver:
      return desktop::RunAddToXscreensaver();
    case shell::LinuxAction::kError:
      std::fprintf(stderr, "velmorandi: %s\n%s", request.error.c_str(), shell::Usage().c_str());
      return shell::kUsageExitCode;
    case shell::LinuxAction::kRun:
      break;
  }
  if (request.run.mode == shell::RunMode::kNone) {
    if (!request.notice.empty()) std::fprintf(stderr, "%s\n", request.notice.c_str());
    return 0;
  }
  // The sound library would otherwise catch SIGINT and SIGTERM to post a quit event that
  // nothing here reads, and a saver that a screensaver manager stops with SIGTERM would
  // keep running. Set before the library starts; a value from the environment wins.
  setenv("SDL_NO_SIGNAL_HANDLERS", "1", 0);
  // What a screensaver daemon leaves out of the environment: the session's runtime folder
  // (or a private one), and no bus of the program's own when no session bus can be reached.
  desktop::PrepareSessionEnvironment();
  // Over a file size limit a write then fails with EFBIG and the save reports it, instead of
  // the signal ending the program with the settings half-saved.
  std::signal(SIGXFSZ, SIG_IGN);

  platform::SetLogSink([](std::string_view m) { dg::DebugLog(m); });
  if (request.DrawsIntoWindow()) shell::PrepareHackMode();
  // A Wayland session gets the saver as a Wayland client of its own; where that cannot be
  // had, the X saver runs on the session's X server, if it has one.
  std::unique_ptr<shell::WaylandSaver> waylandSaver;
  if (request.run.mode == shell::RunMode::kSaver && !request.DrawsIntoWindow() &&
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
  if (request.run.mode == shell::RunMode::kPreview) setenv("QT_QPA_PLATFORM", "xcb", 0);
  platform::Application application(argc, argv);
  application.SetTitle(kApplicationTitle);

  switch (request.run.mode) {
    case shell::RunMode::kSaver: {
      if (request.DrawsIntoWindow()) return shell::RunHackMode(request);
      shell::SaverFormOptions options;
      options.paths = platform::Paths();
      options.overrides = request.overrides;
      options.seed = shell::SeedFromEnvironment();
      if (std::getenv(kFirstFrameVariable) != nullptr) options.reportFirstFrameSince = started;
      if (waylandSaver) return waylandSaver->Run(std::move(options));
      shell::TVelmorandiSaverForm form(options);
      return form.Run();
    }
    case shell::RunMode::kPreview:
      return shell::RunPreviewMode(request.run.parentWindow);
    case shell::RunMode::kSettings:
      return application.Finish(shell::RunSettingsMode(shell::SettingsShow::kByMessageLoop));
    case shell::RunMode::kSettingsShown:
      return application.Finish(shell::RunSettingsMode(shell::SettingsShow::kExplicitly));
    case shell::RunMode::kNone:
      break;
  }
  return 0;
}
