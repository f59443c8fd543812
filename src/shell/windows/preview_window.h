// The preview on Windows: one still picture of the saver stretched over a child window that
// fills the control panel's preview area. Nothing moves in it and it reads no settings.
#pragma once

#include <windows.h>

#include <optional>
#include <string_view>

#include "shell/windows/frame_copy.h"

namespace shell {

// Shows the ShowWindow'ed `parent`, makes the child at (0, 0) with the parent's window size
// and runs the message loop until the child goes with its parent; returns the exit code.
// A handle that names no window creates nothing and ends at once with 0. `jpeg` is the
// picture; bytes that do not decode leave the window its plain face colour. A frame copy
// is read from the window's device context after that paint.
int RunPreviewMode(HINSTANCE instance, HWND parent, std::string_view jpeg,
                   const std::optional<FrameCopyRequest>& frameCopy);

}  // namespace shell
