// The signals that end a saver which no window of its own can end: SIGTERM (a session's
// idle tool, a screensaver manager), SIGINT and SIGHUP. The saver then ends with status 0
// at its next tick; a stopped and continued one (SIGSTOP, SIGCONT) just goes on.
#pragma once

namespace shell {

void InstallStopHandlers();
// One of those signals has come.
bool StopRequested();

}  // namespace shell
