// The application object and its message loop.
//
// The loop handles window messages as they come and, whenever the queue is empty, calls
// the idle handler. A handler that reports "not finished" is called again at once once
// the queue has been handled; between such calls the loop waits for new messages for at
// most kIdleRecallMs, so pending input is served at once. A handler that knows when it
// next has work says so with CallIdleAgainIn: the loop then sleeps until that time (or a
// message) instead of waking every few milliseconds, which on a laptop is what costs the
// battery. A handler that reports "finished" is called again after the next message.
//
// Any handler ends the loop with Terminate (QCoreApplication::exit): unlike a quit request
// it cannot be refused by a window that declines to close.
#pragma once

#include <functional>
#include <memory>
#include <string>

class QApplication;
class QTimer;

namespace platform {

// Longest wait of the loop between two calls of an idle handler that is not finished.
inline constexpr int kIdleRecallMs = 1;

enum class IdleResult { kNotFinished, kFinished };

class Application {
 public:
  // Creates the framework's application object; `argc` and `argv` must outlive it. Only
  // one may exist at a time.
  Application(int& argc, char** argv);
  ~Application();
  Application(const Application&) = delete;
  Application& operator=(const Application&) = delete;

  // The title shown with the program's windows (UTF-8).
  void SetTitle(const std::string& title);
  std::string Title() const;

  using IdleHandler = std::function<IdleResult()>;
  // Replaces the idle handler; an empty one removes it.
  void SetOnIdle(IdleHandler handler);

  // From inside an idle handler that reports "not finished": its next call comes after
  // `ms` milliseconds instead of at once. Messages are handled meanwhile.
  void CallIdleAgainIn(int ms) { nextIdleMs_ = ms; }

  // Runs the message loop until Terminate; returns its exit code.
  int Run();

  // Handles every pending window message and returns ("handle pending window messages").
  static void ProcessMessages();
  // Ends the running message loop with `code` after the current handler returns.
  static void Terminate(int code = 0);

 private:
  class MessageWatch;
  void CallIdle();
  void Rearm();
  // Whether every message the application delivers passes the watch (only while a
  // finished handler waits for one).
  enum class Watching { kOff, kOn };
  void WatchMessages(Watching watching);

  std::unique_ptr<QApplication> app_;
  std::unique_ptr<QTimer> idleTimer_;
  std::unique_ptr<MessageWatch> watch_;
  IdleHandler onIdle_;
  bool inIdle_ = false;
  Watching watching_ = Watching::kOff;
  int nextIdleMs_ = -1;  // set by the running handler; -1: kIdleRecallMs
};

}  // namespace platform
