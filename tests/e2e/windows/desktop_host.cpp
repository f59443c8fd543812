// The desktop's side of the saver, for the checks under Wine. Prints one line per check;
// exits 1 on a failure.
//
// desktop_host preview SAVER.scr: the control panel's side of "/p". Makes a hidden 320 x 240
// window, starts the saver with its handle, and checks that the saver shows the window and
// fills it with its preview; then destroys the window and expects the saver to end with
// status 0. (What the preview drew is read back by the saver itself: Wine keeps a child
// window of another process off the screen.)
//
// desktop_host screensave: asks the running saver's window to start a screensaver, as the
// system does when its idle time comes, and expects the request swallowed (result 1).
#include <windows.h>

#include <cstdio>
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

int Screensave() {
  HWND saver = ::FindWindowW(L"VelmorandiSaverWindow", nullptr);
  Check(saver != nullptr, "the saver's window is there");
  DWORD_PTR result = 0;
  const LRESULT answered = ::SendMessageTimeoutW(saver, WM_SYSCOMMAND, SC_SCREENSAVE, 0,
                                                 SMTO_ABORTIFHUNG, 5000, &result);
  Check(answered != 0 && result == 1, "a request to start a screensaver is swallowed");
  return failures == 0 ? 0 : 1;
}

int Preview(const char* saverPath) {
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = ::DefWindowProcW;
  windowClass.hInstance = ::GetModuleHandleW(nullptr);
  windowClass.hbrBackground = static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH));
  windowClass.lpszClassName = L"PreviewHost";
  ::RegisterClassW(&windowClass);
  // A window the size of the control panel's preview area; hidden at first, as the saver
  // shows it itself.
  HWND parent = ::CreateWindowExW(0, L"PreviewHost", L"preview host", WS_POPUP, 10, 10, 320, 240,
                                  nullptr, nullptr, windowClass.hInstance, nullptr);

  std::string command = "\"" + std::string(saverPath) + "\" /p " +
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
    // Time for the preview to paint before its window goes.
    Pump(1500);
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

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::string(argv[1]) == "preview") return Preview(argv[2]);
  if (argc == 2 && std::string(argv[1]) == "screensave") return Screensave();
  std::fprintf(stderr, "usage: desktop_host preview SAVER.scr | desktop_host screensave\n");
  return 2;
}
