// What the user sees when the saver cannot start: a halt during start-up gives the screen
// back (windows hidden, the display mode of the desktop, the cursor) and then shows one
// message box that names what failed and why, and where the log is. The log keeps its line.
#pragma once

namespace shell {

// Installs the notice for as long as it lives; the saver's start-up runs inside one.
class StartFailureNotice {
 public:
  StartFailureNotice();
  ~StartFailureNotice();
  StartFailureNotice(const StartFailureNotice&) = delete;
  StartFailureNotice& operator=(const StartFailureNotice&) = delete;
};

}  // namespace shell
