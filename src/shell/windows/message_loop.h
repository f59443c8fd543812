// The Windows program's message loop with its idle event: window messages first; when the
// queue is empty, the idle handler runs and says how long the loop may wait for the next
// message before calling it again.
#pragma once

#include <cstdint>
#include <functional>

namespace shell {

inline constexpr std::uint32_t kWaitForMessages = 0xFFFFFFFFu;  // no idle call until one comes

// Milliseconds until the handler wants to run again (0: at once, or kWaitForMessages).
using IdleHandler = std::function<std::uint32_t()>;

// Runs until WM_QUIT; returns its exit code. An empty handler only waits for messages.
int RunMessageLoop(const IdleHandler& idle);

// Handles the messages already queued and returns: the middle of a frame or a folder scan
// lets input through. A WM_QUIT met here is posted again for the loop to see.
void ProcessPendingMessages();

}  // namespace shell
