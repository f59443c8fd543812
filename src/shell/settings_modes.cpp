#include "shell/settings_modes.h"

#include <QApplication>
#include <QWindow>

#include "platform/fs/fs.h"
#include "platform/ui/dialogs/qt_dialog_services.h"
#include "settings/dialogs/picture_select_form.h"
#include "settings/dialogs/prv_form.h"
#include "settings/dialogs/settei_form.h"

namespace shell {

int RunSettingsMode(platform::Application& application, SettingsShow show) {
  // The settings dialog is the main window: closing it ends the program (unless the
  // dialog refuses to close, as it does while the text editor runs).
  QApplication::setQuitOnLastWindowClosed(true);
  platform::ui::QtDialogServices services;
  const std::string exeDir = platform::ExeDir();
  settings::TPictureSelectForm pictureForm(services, exeDir);
  settings::TSetteiForm setteiForm(pictureForm, services, exeDir);
  // Both forms of the mode show the dialog: started without arguments the message loop
  // shows its main window, with "/c" it is shown explicitly; here the two are the same.
  (void)show;
  setteiForm.show();
  return application.Run();
}

int RunPreviewMode(platform::Application& application, std::uint64_t parentWindow) {
  QWindow* parent = QWindow::fromWinId(static_cast<WId>(parentWindow));
  if (parent == nullptr) return 0;
  QApplication::setQuitOnLastWindowClosed(true);
  settings::TPrvForm preview(PreviewStillJpeg());
  preview.winId();
  preview.windowHandle()->setParent(parent);
  const QSize size = parent->geometry().size();
  preview.setGeometry(0, 0, size.width(), size.height());
  preview.show();
  const int code = application.Run();
  delete parent;
  return code;
}

}  // namespace shell
