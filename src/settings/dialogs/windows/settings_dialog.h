// The settings mode on Windows: the settings dialog with its wallpaper dialog, the
// program's main window in that mode.
#pragma once

namespace settings {

// Shows the settings dialog and returns when the user has closed it (its settings
// written); the program's exit code.
int RunSettingsDialog();

}  // namespace settings
