// The settings and preview modes of the entry: the settings dialog with its hidden
// wallpaper dialog, and the still preview inside a window of the desktop's control panel.
#pragma once

#include <cstdint>
#include <string_view>

namespace shell {

enum class SettingsShow { kByMessageLoop, kExplicitly };

// The window framework's application object must exist for both.

// Creates the settings dialog, then the wallpaper dialog, shows the settings dialog and
// runs the message loop until it closes; returns the exit code.
int RunSettingsMode(SettingsShow show);
// Shows the still picture as a child filling the window `parentWindow` (an X11 window id)
// and runs the message loop until that window is destroyed; returns the exit code. A
// window id that names no window, or a display that is not X11, creates nothing, says so
// on stderr and ends at once with 0.
int RunPreviewMode(std::uint64_t parentWindow);

// The still of the saver the preview shows (JPEG bytes, drawn at build time by
// velmorandi-still).
std::string_view PreviewStillJpeg();

}  // namespace shell
