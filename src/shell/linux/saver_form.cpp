#include "shell/linux/saver_form.h"

#include <QCloseEvent>
#include <QEnterEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScreen>

#include "platform/ui/cursor.h"
#include "platform/ui/full_screen.h"
#include "platform/winmm/audio_device.h"

namespace shell {

SaverRunOptions RunOptions(SaverFormOptions options) {
  SaverRunOptions runOptions;
  runOptions.paths = std::move(options.paths);
  runOptions.overrides = std::move(options.overrides);
  runOptions.seed = options.seed;
  runOptions.reportFirstFrameSince = options.reportFirstFrameSince;
  return runOptions;
}

TVelmorandiSaverForm::TVelmorandiSaverForm(SaverFormOptions options)
    : displayLoss_(0, [] { platform::CloseAudioDevice(); }) {
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

  runner_ =
      std::make_unique<SaverRunner>(static_cast<SaverHost&>(*this), RunOptions(std::move(options)));
}

TVelmorandiSaverForm::~TVelmorandiSaverForm() {
  runner_.reset();
  allMonitors_.reset();
  monitors_.clear();
}

SysCommandAnswer TVelmorandiSaverForm::WMSysCommand(std::uint32_t command, std::intptr_t& result) {
  return shell::WMSysCommand(command, result);
}

void TVelmorandiSaverForm::SetCursor(Cursor cursor) {
  platform::ShowCursor(cursor == Cursor::kShown);
}

void TVelmorandiSaverForm::keyPressEvent(QKeyEvent* event) {
  event->accept();
  FormKeyDown();
}

void TVelmorandiSaverForm::mouseMoveEvent(QMouseEvent* event) {
  const QPoint p = FramePoint(*this, event->position().toPoint());
  FormMouseMove(p.x(), p.y());
}

void TVelmorandiSaverForm::enterEvent(QEnterEvent* event) {
  const QPoint p = FramePoint(*this, event->position().toPoint());
  FormMouseMove(p.x(), p.y());
}

void TVelmorandiSaverForm::closeEvent(QCloseEvent* event) {
  FormClose();
  event->accept();
}

}  // namespace shell
