#include "platform/loop/message_loop.h"

#include <fcntl.h>
#include <unistd.h>
#include <QCoreApplication>
#include <QEvent>
#include <QSocketNotifier>
#include <QTimer>
#include <algorithm>
#include <array>
#include <csignal>
#include <memory>

namespace platform {
namespace {

// The handler runs from a single-shot timer: at once (0) when it wants to run again as soon
// as the queue is empty, after its wait otherwise. A handler waiting for a message is re-armed
// by an event filter that sees every event the application delivers; the filter is installed
// only while such a handler waits, since the saver's handler never does and every event would
// otherwise pass through it.
class IdleCaller final : public QObject {
 public:
  explicit IdleCaller(const IdleHandler& idle) : idle_(idle) {
    timer_.setSingleShot(true);
    timer_.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer_, &QTimer::timeout, this, &IdleCaller::Call);
    if (idle_) timer_.start(0);
  }
  ~IdleCaller() override { Watch(false); }

  bool eventFilter(QObject* watched, QEvent* /*event*/) override {
    if (watched != &timer_ && !inIdle_ && !timer_.isActive()) {
      Watch(false);
      timer_.start(0);
    }
    return false;
  }

 private:
  void Call() {
    // Messages handled from inside the handler (ProcessPendingMessages) must not call it again.
    if (inIdle_) return;
    inIdle_ = true;
    const std::uint32_t wait = idle_();
    inIdle_ = false;
    if (wait == kWaitForMessages) {
      Watch(true);
    } else {
      timer_.start(static_cast<int>(std::min<std::uint32_t>(wait, 0x7FFFFFFF)));
    }
  }

  void Watch(bool on) {
    if (on == watching_) return;
    watching_ = on;
    if (on) {
      QCoreApplication::instance()->installEventFilter(this);
    } else {
      QCoreApplication::instance()->removeEventFilter(this);
    }
  }

  const IdleHandler& idle_;
  QTimer timer_;
  bool inIdle_ = false;
  bool watching_ = false;
};

// A stop request turns into a byte on a pipe, which the loop reads like any other source:
// the handler itself may only do what is safe inside a signal.
int stopPipe[2] = {-1, -1};

void NoteStopRequest(int) {
  const char byte = 1;
  [[maybe_unused]] const ssize_t written = ::write(stopPipe[1], &byte, 1);
}

class StopRequestWatch {
 public:
  StopRequestWatch() {
    if (stopPipe[0] < 0 && ::pipe2(stopPipe, O_CLOEXEC | O_NONBLOCK) != 0) return;
    notifier_ = std::make_unique<QSocketNotifier>(stopPipe[0], QSocketNotifier::Read);
    QObject::connect(notifier_.get(), &QSocketNotifier::activated, [] {
      char bytes[16];
      while (::read(stopPipe[0], bytes, sizeof bytes) > 0) {
      }
      QCoreApplication::exit(0);
    });
    struct sigaction action {};
    action.sa_handler = NoteStopRequest;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (std::size_t i = 0; i < kSignals.size(); ++i) sigaction(kSignals[i], &action, &old_[i]);
  }
  ~StopRequestWatch() {
    if (!notifier_) return;
    for (std::size_t i = 0; i < kSignals.size(); ++i) sigaction(kSignals[i], &old_[i], nullptr);
  }
  StopRequestWatch(const StopRequestWatch&) = delete;
  StopRequestWatch& operator=(const StopRequestWatch&) = delete;

 private:
  static constexpr std::array<int, 3> kSignals{SIGTERM, SIGINT, SIGHUP};
  std::unique_ptr<QSocketNotifier> notifier_;
  std::array<struct sigaction, 3> old_{};
};

}  // namespace

int RunMessageLoop(const IdleHandler& idle, StopRequests stop) {
  std::unique_ptr<StopRequestWatch> stopWatch;
  if (stop == StopRequests::kEndLoop) stopWatch = std::make_unique<StopRequestWatch>();
  IdleCaller caller(idle);
  return QCoreApplication::exec();
}

void QuitMessageLoop(int code) { QCoreApplication::exit(code); }

void ProcessPendingMessages() { QCoreApplication::processEvents(QEventLoop::AllEvents); }

}  // namespace platform
