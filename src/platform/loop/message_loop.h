// The program's message loop with its idle event, as each system's window framework runs it:
// window messages are handled as they come; whenever the queue is empty the idle handler runs
// and says how long the loop may wait before calling it again. A handler that knows when it
// next has work says so, and the loop sleeps until then instead of spinning: one wake-up per
// piece of work, which on a laptop is what costs the battery.
//
// Linux: the window framework's application object must exist before the loop runs.
#pragma once

#include <cstdint>
#include <functional>

namespace platform {

// The handler's answer when it has nothing to do until a message comes.
inline constexpr std::uint32_t kWaitForMessages = 0xFFFFFFFFu;

// Milliseconds until the handler wants to run again: 0 runs it again as soon as the queue is
// empty, kWaitForMessages after the next message. It may be called earlier (after a message,
// on some systems) and then answers again.
using IdleHandler = std::function<std::uint32_t()>;

// What a request from outside to stop the process does while the loop runs (Linux: SIGTERM,
// SIGINT and SIGHUP; Windows has no such request for a windowed program).
enum class StopRequests { kEndProgram, kEndLoop };

// Runs until QuitMessageLoop; returns the code given there. An empty handler only waits for
// messages. With StopRequests::kEndLoop a stop request ends the loop with code 0, so that
// whatever the caller does after the loop (freeing devices, restoring the screen) still runs.
int RunMessageLoop(const IdleHandler& idle, StopRequests stop = StopRequests::kEndProgram);

// Ends the running loop with `code` once the current handler or message returns. Unlike a
// close request it cannot be refused by a window.
void QuitMessageLoop(int code);

// Handles the messages already waiting and returns: a long piece of work (a folder scan) lets
// input through this way. A quit met here is kept for the loop.
void ProcessPendingMessages();

}  // namespace platform
