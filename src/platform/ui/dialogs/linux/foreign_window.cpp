#include "platform/ui/dialogs/linux/foreign_window.h"

#include <xcb/xcb.h>

#include <QGuiApplication>
#include <cstdlib>

namespace platform::ui {
namespace {

xcb_connection_t* Connection() {
  auto* app = qGuiApp;
  if (app == nullptr) return nullptr;
  auto* x11 = app->nativeInterface<QNativeInterface::QX11Application>();
  return x11 != nullptr ? x11->connection() : nullptr;
}

}  // namespace

ForeignWindow::ForeignWindow(std::uint32_t id) : id_(id) {}

bool ForeignWindow::DisplayIsX11() { return Connection() != nullptr; }

std::optional<QSize> ForeignWindow::Size() const {
  xcb_connection_t* connection = Connection();
  if (connection == nullptr || id_ == XCB_NONE) return std::nullopt;
  xcb_generic_error_t* error = nullptr;
  xcb_get_geometry_reply_t* reply =
      xcb_get_geometry_reply(connection, xcb_get_geometry(connection, id_), &error);
  std::free(error);
  if (reply == nullptr) return std::nullopt;
  // A pixmap has a geometry too; only a window has attributes.
  xcb_get_window_attributes_reply_t* attributes = xcb_get_window_attributes_reply(
      connection, xcb_get_window_attributes(connection, id_), &error);
  std::free(error);
  std::optional<QSize> size;
  if (attributes != nullptr) size = QSize(reply->width, reply->height);
  std::free(attributes);
  std::free(reply);
  return size;
}

void ForeignWindow::Show() const {
  xcb_connection_t* connection = Connection();
  if (connection == nullptr) return;
  // Checked, so that a window gone meanwhile costs nothing but the ignored error.
  std::free(xcb_request_check(connection, xcb_map_window_checked(connection, id_)));
}

}  // namespace platform::ui
