#include "platform/ui/application.h"

#include <QApplication>
#include <QEvent>
#include <QTimer>
#include <chrono>
#include <optional>

namespace platform {
namespace {

using Clock = std::chrono::steady_clock;

// When the running idle handler was called (the loop had handled every message then).
std::optional<Clock::time_point> idleCalledAt;

// How long after that a look at the window system's queue is not worth its poll and its
// pass over every event source: what arrives meanwhile is handled as soon as the handler
// returns, a fraction of a frame later.
constexpr auto kFreshQueue = std::chrono::milliseconds(4);

}  // namespace

// Re-arms a finished idle handler when any message other than the idle timer's own
// arrives.
class Application::MessageWatch final : public QObject {
 public:
  explicit MessageWatch(Application& app) : app_(app) {}
  bool eventFilter(QObject* watched, QEvent* event) override {
    (void)event;
    if (watched != app_.idleTimer_.get()) app_.Rearm();
    return false;
  }

 private:
  Application& app_;
};

Application::Application(int& argc, char** argv)
    : app_(std::make_unique<QApplication>(argc, argv)), idleTimer_(std::make_unique<QTimer>()) {
  // The windows end the loop themselves with Terminate; closing the last one must not
  // race them with a quit of its own.
  QApplication::setQuitOnLastWindowClosed(false);
  idleTimer_->setSingleShot(true);
  idleTimer_->setTimerType(Qt::PreciseTimer);
  QObject::connect(idleTimer_.get(), &QTimer::timeout, [this] { CallIdle(); });
  watch_ = std::make_unique<MessageWatch>(*this);
}

Application::~Application() {
  WatchMessages(Watching::kOff);
  watch_.reset();
  idleTimer_.reset();
  app_.reset();
}

// Only the application name: a display name would be appended to every window's caption,
// and each window has its own caption. Message boxes without a caption show the name.
void Application::SetTitle(const std::string& title) {
  QApplication::setApplicationName(QString::fromStdString(title));
}

std::string Application::Title() const { return QApplication::applicationName().toStdString(); }

void Application::SetOnIdle(IdleHandler handler) {
  onIdle_ = std::move(handler);
  WatchMessages(Watching::kOff);
  if (onIdle_) {
    idleTimer_->start(0);
  } else {
    idleTimer_->stop();
  }
}

int Application::Run() { return QApplication::exec(); }

void Application::ProcessMessages() {
  // Messages the handler itself posted are handled either way.
  if (idleCalledAt && Clock::now() - *idleCalledAt < kFreshQueue) {
    QCoreApplication::sendPostedEvents();
    return;
  }
  QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void Application::Terminate(int code) { QCoreApplication::exit(code); }

void Application::WatchMessages(Watching watching) {
  if (watching == watching_) return;
  watching_ = watching;
  if (watching == Watching::kOn) {
    app_->installEventFilter(watch_.get());
  } else {
    app_->removeEventFilter(watch_.get());
  }
}

void Application::Rearm() {
  // After a message, a finished handler gets its next call once the queue is empty again
  // (a zero timer fires when nothing else is pending).
  if (!onIdle_ || inIdle_ || idleTimer_->isActive()) return;
  WatchMessages(Watching::kOff);
  idleTimer_->start(0);
}

void Application::CallIdle() {
  // Messages handled from inside the handler (ProcessMessages) must not call it again.
  if (!onIdle_ || inIdle_) return;
  inIdle_ = true;
  nextIdleMs_ = -1;
  // The handler may replace itself; keep the one being called alive.
  const IdleHandler handler = onIdle_;
  idleCalledAt = Clock::now();
  const IdleResult result = handler();
  idleCalledAt.reset();
  inIdle_ = false;
  if (!onIdle_) return;
  if (result == IdleResult::kNotFinished) {
    idleTimer_->start(nextIdleMs_ >= 0 ? nextIdleMs_ : kIdleRecallMs);
  } else {
    // Only a finished handler waits for a message: the others' calls need no look at every
    // event the application delivers.
    idleTimer_->stop();
    WatchMessages(Watching::kOn);
  }
}

}  // namespace platform
