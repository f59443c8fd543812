#include "platform/window/client_area.h"

namespace platform {

// A window is whatever receives the software device's frames, and knows its own size.
ClientSize GetClientSize(HWND window) { return {window->ClientWidth(), window->ClientHeight()}; }

void ResizeClient(HWND window, int width, int height) { window->ResizeClient(width, height); }

}  // namespace platform
