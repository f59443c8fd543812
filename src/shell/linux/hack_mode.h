// The saver drawn into a window another program owns: the window a screensaver manager
// gives its hacks ($XSCREENSAVER_WINDOW, or the root window), or one named by id. The
// same start-up, tick and frames as the saver window, letterboxed into that window; no
// window, cursor or grab of its own, and no input ends it. It ends with status 0 on
// SIGTERM, SIGINT or SIGHUP, when the window is destroyed, or when the X server goes.
#pragma once

#include "shell/linux/linux_options.h"

namespace shell {

// Call before the application object exists: the window framework must then stay off
// the display, which only the hack's own connection uses.
void PrepareHackMode();

// Runs the hack until it is told to end; returns the exit status. The window framework's
// application object must exist.
int RunHackMode(const LinuxRequest& request);

}  // namespace shell
