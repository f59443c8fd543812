#include "shell/linux/hack_mode.h"

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "dg/carad.h"
#include "platform/fs/app_paths.h"
#include "platform/gdi/gdi.h"
#include "platform/ui/x_window_target.h"
#include "platform/winmm/timer.h"
#include "presentation/saver_screen.h"
#include "shell/linux/saver_form.h"
#include "shell/run_environment.h"
#include "shell/saver_device.h"
#include "shell/saver_session.h"

namespace shell {
namespace {

constexpr char kManagerWindowVariable[] = "XSCREENSAVER_WINDOW";

volatile std::sig_atomic_t stopRequested = 0;

void RequestStop(int) { stopRequested = 1; }

// A manager ends its hacks with SIGTERM and expects them gone with status 0; a stopped
// and continued hack (SIGSTOP, SIGCONT) just goes on.
void InstallStopHandlers() {
  struct sigaction action {};
  action.sa_handler = RequestStop;
  sigemptyset(&action.sa_mask);
  for (const int signal : {SIGTERM, SIGINT, SIGHUP}) sigaction(signal, &action, nullptr);
  // A write to a lost X connection must end in an error to handle, not in a signal.
  std::signal(SIGPIPE, SIG_IGN);
}

}  // namespace

void PrepareHackMode() { setenv("QT_QPA_PLATFORM", "offscreen", 1); }

int RunHackMode(platform::Application& application, const LinuxRequest& request) {
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
  InstallStopHandlers();

  dg::TDGCarad carad(target.get());
  StartSaverDevice(carad);
  platform::timeBeginPeriod(1);
  const platform::AppPaths& paths = platform::Paths();
  presentation::ScreenOptions screenOptions;
  screenOptions.dataDir = paths.dataDir;
  screenOptions.sound = request.overrides.chimeOff ? presentation::SoundOutput::kSilent
                                                   : presentation::SoundOutput::kSpeaker;
  screenOptions.processMessages = [] { platform::Application::ProcessMessages(); };
  screenOptions.deviceLost = [] { platform::Application::Terminate(0); };
  auto screen = std::make_unique<presentation::SaverScreen>(carad, screenOptions);

  LoopClock clock;
  SessionOptions sessionOptions{
      paths, SeedFromEnvironment(),
      [](const std::string& face) { return platform::gdi::IsJapaneseScreenFont(face); },
      MusicOutput::kPlay, [] { platform::Application::ProcessMessages(); }};
  sessionOptions.overrides = request.overrides;
  auto session = std::make_unique<SaverSession>(*screen, clock, sessionOptions);
  session->StartUp();

  application.SetOnIdle([&] {
    if (stopRequested || !target->HandleEvents()) {
      platform::Application::Terminate(0);
      return platform::IdleResult::kFinished;
    }
    session->Tick();
    // One wake-up a tick: the loop sleeps until the next one is due.
    const auto remaining =
        static_cast<std::int32_t>(session->LastTickTime() + kTickMs - clock.Now());
    application.CallIdleAgainIn(std::max(remaining, 1));
    return platform::IdleResult::kNotFinished;
  });
  const int status = application.Run();
  application.SetOnIdle(nullptr);
  session.reset();
  screen.reset();
  platform::timeEndPeriod(1);
  return status;
}

}  // namespace shell
