// Another program's X11 window, named by its id: the control panel's preview area that the
// preview window lives in. Every query is a checked request on the application's own X
// connection, so a window that does not exist (or no longer does) is an answer, not an
// error printed by the framework.
#pragma once

#include <QSize>
#include <cstdint>
#include <optional>
#include <string>

namespace platform::ui {

class ForeignWindow {
 public:
  // Needs the application object. Without an X11 display every query says "no window".
  explicit ForeignWindow(std::uint32_t id);

  std::uint32_t Id() const { return id_; }
  // False when the application does not run on an X11 display.
  static bool DisplayIsX11();
  // The window's size without its border, or nothing when no such window exists.
  std::optional<QSize> Size() const;
  bool Exists() const { return Size().has_value(); }
  // Maps (shows) the window; harmless when it is shown already or gone.
  void Show() const;

 private:
  std::uint32_t id_;
};

}  // namespace platform::ui
