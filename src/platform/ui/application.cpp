#include "platform/ui/application.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QTimer>

namespace platform {

Application::Application(int& argc, char** argv)
    : app_(std::make_unique<QApplication>(argc, argv)), idleTimer_(std::make_unique<QTimer>()) {
  // The windows end the loop themselves with Terminate; closing the last one must not
  // race them with a quit of its own.
  QApplication::setQuitOnLastWindowClosed(false);
  idleTimer_->setSingleShot(true);
  idleTimer_->setTimerType(Qt::PreciseTimer);
  QObject::connect(idleTimer_.get(), &QTimer::timeout, [this] { CallIdle(); });
  // After a message, a finished handler gets its next call once the queue is empty
  // again (a zero timer fires when nothing else is pending).
  QObject::connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::awake,
                   idleTimer_.get(), [this] {
                     if (onIdle_ && !idleTimer_->isActive()) idleTimer_->start(0);
                   });
}

Application::~Application() {
  idleTimer_.reset();
  app_.reset();
}

void Application::SetTitle(const std::string& title) {
  QApplication::setApplicationDisplayName(QString::fromStdString(title));
  QApplication::setApplicationName(QString::fromStdString(title));
}

std::string Application::Title() const {
  return QApplication::applicationDisplayName().toStdString();
}

void Application::SetOnIdle(IdleHandler handler) {
  onIdle_ = std::move(handler);
  if (onIdle_) {
    idleTimer_->start(0);
  } else {
    idleTimer_->stop();
  }
}

int Application::Run() { return QApplication::exec(); }

void Application::ProcessMessages() { QCoreApplication::processEvents(QEventLoop::AllEvents); }

void Application::Terminate(int code) { QCoreApplication::exit(code); }

void Application::CallIdle() {
  if (!onIdle_) return;
  // The handler may replace itself; keep the one being called alive.
  const IdleHandler handler = onIdle_;
  if (handler() == IdleResult::kNotFinished && onIdle_) idleTimer_->start(kIdleRecallMs);
}

}  // namespace platform
