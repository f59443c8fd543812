#include "shell/linux/stop_signals.h"

#include <csignal>
#include <initializer_list>

namespace shell {
namespace {

volatile std::sig_atomic_t stopRequested = 0;

void RequestStop(int) { stopRequested = 1; }

}  // namespace

void InstallStopHandlers() {
  struct sigaction action {};
  action.sa_handler = RequestStop;
  sigemptyset(&action.sa_mask);
  for (const int signal : {SIGTERM, SIGINT, SIGHUP}) sigaction(signal, &action, nullptr);
  // A write to a lost connection to the display must end in an error to handle, not in a
  // signal.
  std::signal(SIGPIPE, SIG_IGN);
}

bool StopRequested() { return stopRequested != 0; }

}  // namespace shell
