#include "shell/settings_modes.h"

namespace shell {

int RunSettingsMode(platform::Application& application, SettingsShow show) {
  (void)application;
  (void)show;
  return 0;
}

int RunPreviewMode(platform::Application& application, std::uint64_t parentWindow) {
  (void)application;
  (void)parentWindow;
  return 0;
}

}  // namespace shell
