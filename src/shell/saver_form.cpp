#include "shell/saver_form.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <cstdio>

#include "platform/gdi/gdi.h"
#include "platform/ui/cursor.h"
#include "platform/ui/full_screen.h"
#include "platform/winmm/timer.h"
#include "settings/settings_store.h"
#include "shell/headless_saver.h"

namespace shell {

TVelmorandiSaverForm::TVelmorandiSaverForm(platform::Application& application,
                                           SaverFormOptions options)
    : application_(application), options_(std::move(options)) {
  setMouseTracking(true);
  // The tick sleeps right after it presents; the frame must be on screen before that.
  SetPaintTiming(PaintTiming::kImmediate);
  setFocusPolicy(Qt::StrongFocus);
  platform::ShowFullScreenOnStartScreen(*this);
  activateWindow();

  DG = std::make_unique<dg::TDGCarad>(Handle());
  StartSaverDevice(*DG);
  platform::ShowCursor(false);
  platform::timeBeginPeriod(1);

  presentation::ScreenOptions screenOptions;
  screenOptions.dataDir = options_.paths.dataDir;
  screenOptions.sound = options_.overrides.chimeOff ? presentation::SoundOutput::kSilent
                                                    : presentation::SoundOutput::kSpeaker;
  screenOptions.processMessages = [] { platform::Application::ProcessMessages(); };
  // A device that can no longer draw ends the program without the closing handler.
  screenOptions.deviceLost = [] { platform::Application::Terminate(0); };
  screen_ = std::make_unique<presentation::SaverScreen>(*DG, screenOptions);

  SessionOptions sessionOptions{
      options_.paths, std::nullopt,
      [](const std::string& face) { return platform::gdi::IsInstalledScreenFont(face); },
      MusicOutput::kPlay, [] { platform::Application::ProcessMessages(); }};
  sessionOptions.overrides = options_.overrides;
  session_ = std::make_unique<SaverSession>(*screen_, clock_, std::move(sessionOptions));
  session_->StartUp();
  application_.SetOnIdle([this] { return ApplicationEvents1Idle(); });
}

TVelmorandiSaverForm::~TVelmorandiSaverForm() {
  application_.SetOnIdle(nullptr);
  platform::timeEndPeriod(1);
  session_.reset();
  screen_.reset();
  DG.reset();
}

platform::IdleResult TVelmorandiSaverForm::ApplicationEvents1Idle() {
  if (!closed_) session_->Tick();
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
  const QPoint p = event->position().toPoint();
  FormMouseMove(p.x(), p.y());
}

void TVelmorandiSaverForm::closeEvent(QCloseEvent* event) {
  if (!closed_) FormClose();
  event->accept();
}

}  // namespace shell
