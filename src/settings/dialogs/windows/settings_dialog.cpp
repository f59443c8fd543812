#include "settings/dialogs/windows/settings_dialog.h"

#include <windows.h>
// The common controls after windows.h.
#include <commctrl.h>

#include "platform/fs/app_paths.h"
#include "platform/ui/dialogs/windows/win_dialog_services.h"
#include "settings/dialogs/windows/picture_window.h"
#include "settings/dialogs/windows/settei_window.h"

namespace settings {

int RunSettingsDialog() {
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_STANDARD_CLASSES | ICC_BAR_CLASSES};
  InitCommonControlsEx(&controls);
  platform::ui::WinDialogServices services;
  const platform::AppPaths paths = platform::Paths();
  // The settings dialog first, then the wallpaper dialog, which it owns while shown.
  win::SetteiWindow settei(services, paths);
  PictureSelectLogic pictures(services, paths);
  win::PictureWindow pictureWindow(pictures, settei.Handle());
  settei.Logic().SetPictureDialog(pictureWindow, pictures);
  settei.Run();
  return 0;
}

}  // namespace settings
