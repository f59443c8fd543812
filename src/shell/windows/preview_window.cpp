#include "shell/windows/preview_window.h"

#include <cstdint>
#include <span>

#include "jpeg/jpeg.h"
#include "shell/windows/message_loop.h"

namespace shell {

namespace {

constexpr wchar_t kWindowClass[] = L"VelmorandiPreviewWindow";
// How often the preview looks whether its parent still exists: a parent in another process
// may go without its children being told.
constexpr UINT kParentCheckMs = 500;
constexpr UINT_PTR kParentCheckTimer = 1;

struct Preview {
  HWND parent = nullptr;
  jpeg::Image image;
};

void PaintStretched(HWND window, const Preview& preview) {
  PAINTSTRUCT paint;
  HDC dc = ::BeginPaint(window, &paint);
  RECT client{};
  ::GetClientRect(window, &client);
  if (preview.image.pixels.empty()) {
    ::FillRect(dc, &client, ::GetSysColorBrush(COLOR_BTNFACE));
  } else {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = preview.image.width;
    info.bmiHeader.biHeight = -preview.image.height;  // rows top to bottom
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    ::SetStretchBltMode(dc, HALFTONE);
    ::StretchDIBits(dc, 0, 0, client.right, client.bottom, 0, 0, preview.image.width,
                    preview.image.height, preview.image.pixels.data(), &info, DIB_RGB_COLORS,
                    SRCCOPY);
  }
  ::EndPaint(window, &paint);
}

LRESULT CALLBACK PreviewProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
    ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  const auto* preview =
      reinterpret_cast<const Preview*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
  switch (message) {
    case WM_PAINT:
      if (preview != nullptr) {
        PaintStretched(window, *preview);
        return 0;
      }
      break;
    case WM_SIZE:
      // FormResize: the picture always fills the window.
      ::InvalidateRect(window, nullptr, FALSE);
      return 0;
    case WM_TIMER:
      if (wParam == kParentCheckTimer && preview != nullptr && !::IsWindow(preview->parent)) {
        ::DestroyWindow(window);
      }
      return 0;
    case WM_DESTROY:
      ::PostQuitMessage(0);
      return 0;
    default:
      break;
  }
  return ::DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

int RunPreviewMode(HINSTANCE instance, HWND parent, std::string_view jpeg) {
  if (!::IsWindow(parent)) return 0;
  Preview preview;
  preview.parent = parent;
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(jpeg.data());
  if (jpeg::DecodeResult decoded = jpeg::DecodeJpeg(std::span(bytes, jpeg.size())); decoded.ok()) {
    preview.image = std::move(decoded.image);
  }

  ::ShowWindow(parent, SW_SHOW);
  RECT bounds{};
  ::GetWindowRect(parent, &bounds);
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = &PreviewProc;
  windowClass.hInstance = instance;
  windowClass.hCursor = ::LoadCursorA(nullptr, IDC_ARROW);
  windowClass.lpszClassName = kWindowClass;
  ::RegisterClassExW(&windowClass);
  HWND window = ::CreateWindowExW(0, kWindowClass, L"", WS_CHILD | WS_VISIBLE, 0, 0,
                                  bounds.right - bounds.left, bounds.bottom - bounds.top, parent,
                                  nullptr, instance, &preview);
  if (window == nullptr) return 0;
  ::SetTimer(window, kParentCheckTimer, kParentCheckMs, nullptr);
  return RunMessageLoop(nullptr);
}

}  // namespace shell
