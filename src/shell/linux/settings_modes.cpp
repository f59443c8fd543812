#include "shell/linux/settings_modes.h"

#include <QApplication>
#include <QTimer>
#include <QWindow>
#include <cstdio>
#include <memory>

#include "platform/fs/app_paths.h"
#include "platform/loop/message_loop.h"
#include "platform/ui/dialogs/linux/foreign_window.h"
#include "platform/ui/dialogs/linux/qt_dialog_services.h"
#include "settings/dialogs/linux/picture_select_form.h"
#include "settings/dialogs/linux/prv_form.h"
#include "settings/dialogs/linux/settei_form.h"

namespace shell {
namespace {

// How often the preview asks whether its parent still exists. The control panel destroys
// the preview area when it closes or switches savers; a third of a second later the
// preview has gone too, at the cost of one round trip to the X server per poll.
constexpr int kParentPollMs = 300;

}  // namespace

int RunSettingsMode(SettingsShow show) {
  // The settings dialog is the main window: closing it ends the program (unless the
  // dialog refuses to close, as it does while the text editor runs).
  QApplication::setQuitOnLastWindowClosed(true);
  platform::ui::QtDialogServices services;
  settings::TSetteiForm setteiForm(services, platform::Paths());
  settings::TPictureSelectForm pictureForm(services, platform::Paths());
  setteiForm.SetPictureForm(pictureForm);
  // Both forms of the mode show the dialog: started without arguments the message loop
  // shows its main window, with "/c" it is shown explicitly; here the two are the same.
  (void)show;
  setteiForm.show();
  return platform::RunMessageLoop(nullptr);
}

int RunPreviewMode(std::uint64_t parentWindow) {
  if (!platform::ui::ForeignWindow::DisplayIsX11()) {
    std::fprintf(stderr, "velmorandi: the preview needs an X11 display\n");
    return 0;
  }
  const platform::ui::ForeignWindow parentInfo(static_cast<std::uint32_t>(parentWindow));
  const std::optional<QSize> size = parentInfo.Size();
  if (!size) {
    std::fprintf(stderr, "velmorandi: there is no window %llu to show the preview in\n",
                 static_cast<unsigned long long>(parentWindow));
    return 0;
  }
  parentInfo.Show();
  // The preview only follows the parent's size at the start; later the parent may change
  // without the preview noticing.
  std::unique_ptr<QWindow> parent(QWindow::fromWinId(static_cast<WId>(parentWindow)));
  if (!parent) {
    std::fprintf(stderr, "velmorandi: window %llu cannot hold the preview\n",
                 static_cast<unsigned long long>(parentWindow));
    return 0;
  }
  QApplication::setQuitOnLastWindowClosed(true);
  settings::TPrvForm preview(PreviewStillJpeg());
  preview.winId();
  preview.windowHandle()->setParent(parent.get());
  preview.setGeometry(0, 0, size->width(), size->height());
  preview.show();

  // X destroys the preview's window with its parent, but nothing tells the program: it
  // asks, and ends once the parent is gone.
  QTimer parentWatch;
  QObject::connect(&parentWatch, &QTimer::timeout, [&parentInfo] {
    if (!parentInfo.Exists()) platform::QuitMessageLoop(0);
  });
  parentWatch.start(kParentPollMs);
  return platform::RunMessageLoop(nullptr);
}

}  // namespace shell
