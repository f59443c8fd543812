#include "shell/linux/wayland_saver.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "dg/carad.h"
#include "platform/gdi/gdi.h"
#include "platform/winmm/timer.h"
#include "presentation/saver_screen.h"
#include "shell/linux/hack_mode.h"
#include "shell/linux/stop_signals.h"
#include "shell/saver_device.h"
#include "shell/saver_session.h"

namespace shell {
namespace {

constexpr char kAppId[] = "velmorandi";
constexpr char kTitle[] = "ヴェルモランディ";

}  // namespace

bool WaylandSessionWanted() {
  const char* display = std::getenv("WAYLAND_DISPLAY");
  if (display == nullptr || *display == '\0') return false;
  const char* platform = std::getenv("QT_QPA_PLATFORM");
  return platform == nullptr || std::string_view(platform).rfind("xcb", 0) != 0;
}

std::unique_ptr<WaylandSaver> WaylandSaver::Open(std::string& error) {
  std::unique_ptr<WaylandSaver> saver(new WaylandSaver());
  saver->target_ = platform::WaylandTarget::Open(kAppId, kTitle, *saver, error);
  if (!saver->target_) return nullptr;
  PrepareHackMode();
  return saver;
}

void WaylandSaver::KeyDown() { closing_ = true; }

void WaylandSaver::MouseMove(int x, int y) {
  if (mouse_.Move(x, y) == MouseVerdict::kClose) closing_ = true;
}

void WaylandSaver::CloseRequested() { closing_ = true; }

int WaylandSaver::Run(platform::Application& application, const SaverFormOptions& options) {
  InstallStopHandlers();
  dg::TDGCarad carad(target_.get());
  StartSaverDevice(carad);
  platform::timeBeginPeriod(1);
  presentation::ScreenOptions screenOptions;
  screenOptions.dataDir = options.paths.dataDir;
  screenOptions.sound = options.overrides.chimeOff ? presentation::SoundOutput::kSilent
                                                   : presentation::SoundOutput::kSpeaker;
  screenOptions.processMessages = [] { platform::Application::ProcessMessages(); };
  screenOptions.deviceLost = [] { platform::Application::Terminate(0); };
  auto screen = std::make_unique<presentation::SaverScreen>(carad, screenOptions);

  LoopClock clock;
  SessionOptions sessionOptions{
      options.paths, options.seed,
      [](const std::string& face) { return platform::gdi::IsInstalledScreenFont(face); },
      MusicOutput::kPlay, [] { platform::Application::ProcessMessages(); }};
  sessionOptions.overrides = options.overrides;
  auto session = std::make_unique<SaverSession>(*screen, clock, sessionOptions);
  session->StartUp();

  application.SetOnIdle([&] {
    // The compositor's events are read once a tick: input ends the saver within a tick,
    // and a buffer given back wakes nobody.
    if (StopRequested() || !target_->HandleEvents() || closing_) {
      platform::Application::Terminate(0);
      return platform::IdleResult::kFinished;
    }
    session->Tick();
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
