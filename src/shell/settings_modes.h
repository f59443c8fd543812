// The settings and preview modes of the entry. Their windows (the settings dialog with
// the wallpaper dialog, and the preview window) are not wired in yet: until they are,
// these modes create no window and end at once, like an unknown argument.
#pragma once

#include <cstdint>

#include "platform/ui/application.h"

namespace shell {

enum class SettingsShow { kByMessageLoop, kExplicitly };

// Hook for the settings dialog ("/c", "/C..." or no argument); returns the exit code.
int RunSettingsMode(platform::Application& application, SettingsShow show);
// Hook for the preview window inside `parentWindow`; returns the exit code.
int RunPreviewMode(platform::Application& application, std::uint64_t parentWindow);

}  // namespace shell
