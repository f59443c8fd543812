#include "shell/linux/saver_form.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScreen>
#include <algorithm>
#include <cstdio>

#include "platform/gdi/gdi.h"
#include "platform/ui/cursor.h"
#include "platform/ui/full_screen.h"
#include "platform/winmm/audio_device.h"
#include "platform/winmm/timer.h"
#include "settings/settings_store.h"
#include "shell/saver_device.h"

namespace shell {

TVelmorandiSaverForm::TVelmorandiSaverForm(platform::Application& application,
                                           SaverFormOptions options)
    : application_(application), options_(std::move(options)) {
  setMouseTracking(true);
  // The tick sleeps right after it presents; the frame must be on screen before that.
  SetPaintTiming(PaintTiming::kImmediate);
  setFocusPolicy(Qt::StrongFocus);
  platform::ShowFullScreenOnStartScreen(*this);
  std::vector<PresentTarget*> targets{Handle()};
  for (QScreen* screen : platform::OtherScreens()) {
    auto monitor = std::make_unique<MonitorWindow>(
        [this] { FormKeyDown(); }, [this](QPoint p) { FormMouseMove(p.x(), p.y()); });
    platform::ShowFullScreenOn(*monitor, screen);
    targets.push_back(monitor->Handle());
    monitors_.push_back(std::move(monitor));
  }
  activateWindow();
  allMonitors_ = std::make_unique<FanOutTarget>(std::move(targets));

  DG = std::make_unique<dg::TDGCarad>(allMonitors_.get());
  StartSaverDevice(*DG);
  platform::ShowCursor(false);

  presentation::ScreenOptions screenOptions;
  screenOptions.dataDir = options_.paths.dataDir;
  screenOptions.sound = options_.overrides.chimeOff ? presentation::SoundOutput::kSilent
                                                    : presentation::SoundOutput::kSpeaker;
  screenOptions.processMessages = [] { platform::Application::ProcessMessages(); };
  // A device that can no longer draw ends the program without the closing handler.
  screenOptions.deviceLost = [] { platform::Application::Terminate(0); };
  // The timer resolution is raised between the scene and the textures.
  screenOptions.sceneMade = [] { platform::timeBeginPeriod(1); };
  screen_ = std::make_unique<presentation::SaverScreen>(*DG, screenOptions);

  SessionOptions sessionOptions{
      options_.paths, options_.seed,
      [](const std::string& face) { return platform::gdi::IsJapaneseScreenFont(face); },
      MusicOutput::kPlay, [] { platform::Application::ProcessMessages(); }};
  sessionOptions.overrides = options_.overrides;
  session_ = std::make_unique<SaverSession>(*screen_, clock_, std::move(sessionOptions));
  session_->StartUp();
  // Opened now, so that the first chime does not wait inside a tick for the drivers' probe.
  if (!platform::AudioDeviceOpen() && session_->MusicOn()) {
    std::fprintf(stderr, "velmorandi: no sound device can be opened; the music stays silent\n");
  }
  application_.SetOnIdle([this] { return ApplicationEvents1Idle(); });
}

TVelmorandiSaverForm::~TVelmorandiSaverForm() {
  application_.SetOnIdle(nullptr);
  platform::timeEndPeriod(1);
  session_.reset();
  screen_.reset();
  DG.reset();
  allMonitors_.reset();
  monitors_.clear();
}

platform::IdleResult TVelmorandiSaverForm::ApplicationEvents1Idle() {
  if (closed_) return platform::IdleResult::kNotFinished;
  session_->Tick();
  // One wake-up a tick: the loop sleeps until the next one is due.
  const auto remaining =
      static_cast<std::int32_t>(session_->LastTickTime() + kTickMs - clock_.Now());
  application_.CallIdleAgainIn(std::max(remaining, 1));
  return platform::IdleResult::kNotFinished;
}

void TVelmorandiSaverForm::FormKeyDown() { close(); }

void TVelmorandiSaverForm::FormMouseMove(int x, int y) {
  if (mouse_.Move(x, y) == MouseVerdict::kClose) close();
}

SysCommandAnswer TVelmorandiSaverForm::WMSysCommand(std::uint32_t command, std::intptr_t& result) {
  return shell::WMSysCommand(command, result);
}

void TVelmorandiSaverForm::FormClose() {
  platform::ShowCursor(true);
  closed_ = true;
  // The saver window is the main window: closing it ends the message loop.
  platform::Application::Terminate(0);
}

void TVelmorandiSaverForm::FrameShown() {
  if (options_.reportFirstFrameSince && !firstFrameReported_) {
    firstFrameReported_ = true;
    const auto ms = std::chrono::duration_cast<std::chrono::microseconds>(
                        std::chrono::steady_clock::now() - *options_.reportFirstFrameSince)
                        .count() /
                    1000.0;
    std::fprintf(stderr, "velmorandi: first frame presented %.1f ms after start\n", ms);
  }
}

void TVelmorandiSaverForm::keyPressEvent(QKeyEvent* event) {
  event->accept();
  FormKeyDown();
}

void TVelmorandiSaverForm::mouseMoveEvent(QMouseEvent* event) {
  const QPoint p = FramePoint(*this, event->position().toPoint());
  FormMouseMove(p.x(), p.y());
}

void TVelmorandiSaverForm::closeEvent(QCloseEvent* event) {
  if (!closed_) FormClose();
  event->accept();
}

}  // namespace shell
