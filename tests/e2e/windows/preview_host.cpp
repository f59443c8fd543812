// preview_host SAVER.scr: the control panel's side of "/p". Makes a visible 320 x 240
// window, starts the saver with its handle, and checks that the preview fills the window
// with a picture (many colours read back from the screen), then destroys the window and
// expects the saver to end with status 0. Prints one line per check; exits 1 on a failure.
#include <windows.h>

#include <cstdio>
#include <set>
#include <string>
#include <vector>

namespace {

int failures = 0;

void Check(bool good, const char* what) {
  std::printf("%s: %s\n", good ? "ok" : "FAIL", what);
  std::fflush(stdout);
  if (!good) ++failures;
}

// Handles messages for `ms` milliseconds.
void Pump(DWORD ms) {
  const DWORD end = ::GetTickCount() + ms;
  for (DWORD now = ::GetTickCount(); static_cast<LONG>(end - now) > 0; now = ::GetTickCount()) {
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, end - now, QS_ALLINPUT);
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&message);
  }
}

// Distinct colours of the window's client area as the screen shows it.
std::size_t ColoursOnScreen(HWND window) {
  RECT client{};
  ::GetClientRect(window, &client);
  POINT origin{0, 0};
  ::ClientToScreen(window, &origin);
  HDC screen = ::GetDC(nullptr);
  HDC memory = ::CreateCompatibleDC(screen);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = client.right;
  info.bmiHeader.biHeight = -client.bottom;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HBITMAP bitmap = ::CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = ::SelectObject(memory, bitmap);
  ::BitBlt(memory, 0, 0, client.right, client.bottom, screen, origin.x, origin.y, SRCCOPY);
  ::GdiFlush();
  const auto* pixels = static_cast<const DWORD*>(bits);
  const std::set<DWORD> colours(pixels, pixels + client.right * client.bottom);
  ::SelectObject(memory, old);
  ::DeleteObject(bitmap);
  ::DeleteDC(memory);
  ::ReleaseDC(nullptr, screen);
  return colours.size();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: preview_host SAVER.scr\n");
    return 2;
  }
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = ::DefWindowProcW;
  windowClass.hInstance = ::GetModuleHandleW(nullptr);
  windowClass.hbrBackground = static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH));
  windowClass.lpszClassName = L"PreviewHost";
  ::RegisterClassW(&windowClass);
  // A window the size of the control panel's preview area; hidden at first, as the saver
  // shows it itself.
  HWND parent =
      ::CreateWindowExW(0, L"PreviewHost", L"preview host", WS_POPUP | WS_CLIPCHILDREN, 10, 10, 320,
                        240, nullptr, nullptr, windowClass.hInstance, nullptr);

  std::string command = "\"" + std::string(argv[1]) + "\" /p " +
                        std::to_string(reinterpret_cast<std::uintptr_t>(parent));
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  std::vector<char> line(command.begin(), command.end());
  line.push_back('\0');
  if (!::CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
    Check(false, "the saver starts");
    return 1;
  }

  HWND preview = nullptr;
  for (int i = 0; i < 100 && preview == nullptr; ++i) {
    Pump(100);
    preview = ::FindWindowExW(parent, nullptr, nullptr, nullptr);
  }
  Check(preview != nullptr, "the preview is a child of the given window");
  Check(::IsWindowVisible(parent) != FALSE, "the given window is shown");
  if (preview != nullptr) {
    RECT bounds{};
    ::GetWindowRect(preview, &bounds);
    Check(bounds.right - bounds.left == 320 && bounds.bottom - bounds.top == 240,
          "the preview has the window's size");
    std::size_t colours = 0;
    for (int i = 0; i < 50 && colours < 200; ++i) {
      Pump(100);
      colours = ColoursOnScreen(parent);
    }
    std::printf("colours in the preview: %zu\n", colours);
    Check(colours >= 200, "the preview shows a picture");
  }

  ::DestroyWindow(parent);
  const DWORD waited = ::WaitForSingleObject(process.hProcess, 10000);
  DWORD code = 1;
  ::GetExitCodeProcess(process.hProcess, &code);
  Check(waited == WAIT_OBJECT_0 && code == 0, "the saver ends with status 0 when its window goes");
  if (waited != WAIT_OBJECT_0) ::TerminateProcess(process.hProcess, 1);
  ::CloseHandle(process.hThread);
  ::CloseHandle(process.hProcess);
  return failures == 0 ? 0 : 1;
}
