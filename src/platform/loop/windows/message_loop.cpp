#include "platform/loop/message_loop.h"

#include <windows.h>

namespace platform {

namespace {

// false when WM_QUIT came; its code is then in `exitCode`.
bool DispatchQueued(int& exitCode) {
  MSG message;
  while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      exitCode = static_cast<int>(message.wParam);
      return false;
    }
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
  }
  return true;
}

}  // namespace

// A windowed program gets no console stop request, so `stop` has nothing to change here.
int RunMessageLoop(const IdleHandler& idle, StopRequests /*stop*/) {
  int exitCode = 0;
  while (DispatchQueued(exitCode)) {
    const std::uint32_t wait = idle ? idle() : kWaitForMessages;
    if (wait == 0) continue;
    // Input that arrived while the idle handler ran counts as new: it is not left waiting
    // for the whole timeout.
    ::MsgWaitForMultipleObjectsEx(0, nullptr, wait == kWaitForMessages ? INFINITE : wait,
                                  QS_ALLINPUT, MWMO_INPUTAVAILABLE);
  }
  return exitCode;
}

void QuitMessageLoop(int code) { ::PostQuitMessage(code); }

void ProcessPendingMessages() {
  int exitCode = 0;
  if (!DispatchQueued(exitCode)) ::PostQuitMessage(exitCode);
}

}  // namespace platform
