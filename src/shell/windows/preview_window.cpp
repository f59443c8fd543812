#include "shell/windows/preview_window.h"

#include <cstdint>
#include <cstdio>
#include <span>

#include "jpeg/jpeg.h"
#include "platform/loop/message_loop.h"

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
  std::optional<FrameCopyRequest> frameCopy;
  int paints = 0;
};

// The picture stretched over `dc`'s `width` x `height`, or the face colour without one.
void DrawPicture(HDC dc, int width, int height, const jpeg::Image& image) {
  if (image.pixels.empty()) {
    const RECT area{0, 0, width, height};
    ::FillRect(dc, &area, ::GetSysColorBrush(COLOR_BTNFACE));
    return;
  }
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = image.width;
  info.bmiHeader.biHeight = -image.height;  // rows top to bottom
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  ::SetStretchBltMode(dc, HALFTONE);
  ::StretchDIBits(dc, 0, 0, width, height, 0, 0, image.width, image.height, image.pixels.data(),
                  &info, DIB_RGB_COLORS, SRCCOPY);
}

// Draws into a bitmap first and copies that to the window: the bitmap is what a frame copy
// reads, since the window's own pixels may not be readable (off the screen).
void PaintStretched(HWND window, Preview& preview) {
  PAINTSTRUCT paint;
  HDC dc = ::BeginPaint(window, &paint);
  RECT client{};
  ::GetClientRect(window, &client);
  HDC memory = ::CreateCompatibleDC(dc);
  HBITMAP bitmap = ::CreateCompatibleBitmap(dc, client.right, client.bottom);
  if (memory != nullptr && bitmap != nullptr) {
    const HGDIOBJ old = ::SelectObject(memory, bitmap);
    DrawPicture(memory, client.right, client.bottom, preview.image);
    ::BitBlt(dc, 0, 0, client.right, client.bottom, memory, 0, 0, SRCCOPY);
    if (preview.frameCopy && ++preview.paints == preview.frameCopy->frame) {
      const FrameCopy copy = ReadDeviceContext(memory, client.right, client.bottom);
      std::string error = copy.error;
      if (error.empty()) error = WritePpm(copy, preview.frameCopy->path);
      if (!error.empty()) std::fprintf(stderr, "velmorandi: frame copy: %s\n", error.c_str());
    }
    ::SelectObject(memory, old);
  } else {
    DrawPicture(dc, client.right, client.bottom, preview.image);
  }
  if (bitmap != nullptr) ::DeleteObject(bitmap);
  if (memory != nullptr) ::DeleteDC(memory);
  ::EndPaint(window, &paint);
}

LRESULT CALLBACK PreviewProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
    ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* preview = reinterpret_cast<Preview*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
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

int RunPreviewMode(HINSTANCE instance, HWND parent, std::string_view jpeg,
                   const std::optional<FrameCopyRequest>& frameCopy) {
  if (!::IsWindow(parent)) return 0;
  Preview preview;
  preview.parent = parent;
  preview.frameCopy = frameCopy;
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
  return platform::RunMessageLoop(nullptr);
}

}  // namespace shell
