#include "platform/window/client_area.h"

namespace platform {

ClientSize GetClientSize(HWND window) {
  RECT rect{};
  if (!::GetClientRect(window, &rect)) return {};
  return {rect.right - rect.left, rect.bottom - rect.top};
}

void ResizeClient(HWND window, int width, int height) {
  // The outer size that gives this client area with the window's own styles and menu.
  RECT rect{0, 0, width, height};
  const auto style = static_cast<DWORD>(::GetWindowLongPtrW(window, GWL_STYLE));
  const auto exStyle = static_cast<DWORD>(::GetWindowLongPtrW(window, GWL_EXSTYLE));
  const BOOL menu = (style & WS_CHILD) == 0 && ::GetMenu(window) != nullptr;
  ::AdjustWindowRectEx(&rect, style, menu, exStyle);
  // As the device wrapper's switch to a window has it: shown, and no longer above the others.
  ::SetWindowPos(window, HWND_NOTOPMOST, 0, 0, rect.right - rect.left, rect.bottom - rect.top,
                 SWP_NOMOVE | SWP_SHOWWINDOW);
}

}  // namespace platform
