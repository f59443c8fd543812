#include "shell/windows/saver_window.h"

#include <windowsx.h>

#include <cstdio>

#include "platform/loop/message_loop.h"
#include "shell/windows/frame_copy.h"
#include "shell/windows/frame_placement.h"

namespace shell {

namespace {

constexpr wchar_t kWindowClass[] = L"VelmorandiSaverWindow";
constexpr wchar_t kCoverClass[] = L"VelmorandiCoverWindow";
constexpr wchar_t kTitle[] = L"ヴェルモランディ";

void RegisterWindowClass(HINSTANCE instance, const wchar_t* name, WNDPROC procedure) {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = procedure;
  windowClass.hInstance = instance;
  windowClass.hbrBackground = static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH));
  windowClass.lpszClassName = name;
  // A second registration in the same process fails harmlessly.
  ::RegisterClassExW(&windowClass);
}

// The monitor Direct3D's adapter 0 drives: the one holding the desktop's origin.
RECT PrimaryMonitor() {
  MONITORINFO info{};
  info.cbSize = sizeof info;
  ::GetMonitorInfoW(::MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY), &info);
  return info.rcMonitor;
}

BOOL CALLBACK AddMonitor(HMONITOR, HDC, LPRECT rect, LPARAM monitors) {
  reinterpret_cast<std::vector<RECT>*>(monitors)->push_back(*rect);
  return TRUE;
}

std::vector<RECT> MonitorRects() {
  std::vector<RECT> monitors;
  ::EnumDisplayMonitors(nullptr, nullptr, &AddMonitor, reinterpret_cast<LPARAM>(&monitors));
  return monitors;
}

// The object a window of ours was made for: kept with the window when it is made.
void* WindowOwner(HWND window, UINT message, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
    ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  return reinterpret_cast<void*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
}

void PlaceAt(HWND window, HWND after, const RECT& rect, UINT flags) {
  ::SetWindowPos(window, after, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                 flags | SWP_SHOWWINDOW);
}

}  // namespace

TVelmorandiSaverForm::TVelmorandiSaverForm(HINSTANCE instance, SaverWindowOptions options)
    : instance_(instance), frameCopy_(options.frameCopy) {
  RegisterWindowClass(instance, kWindowClass, &WindowProc);
  RegisterWindowClass(instance, kCoverClass, &CoverProc);
  // The client area is the frame: the full-screen device takes the window over at the
  // 640 x 480 display mode (DeviceStarted places it when the frame is shown scaled).
  window_ = ::CreateWindowExW(WS_EX_TOPMOST, kWindowClass, kTitle, WS_POPUP, 0, 0, 640, 480,
                              nullptr, nullptr, instance, this);
  ::ShowWindow(window_, SW_SHOW);
  ::SetForegroundWindow(window_);
  ::SetFocus(window_);

  SaverRunOptions runOptions;
  runOptions.paths = std::move(options.paths);
  runOptions.seed = options.seed;
  runOptions.reportFirstFrameSince = options.reportFirstFrameSince;
  runOptions.framePresenting = [this](IDirect3DDevice9& device) { FramePresenting(device); };
  runner_ = std::make_unique<SaverRunner>(static_cast<SaverHost&>(*this), std::move(runOptions));
}

TVelmorandiSaverForm::~TVelmorandiSaverForm() {
  for (HWND cover : covers_) ::DestroyWindow(cover);
  if (window_ != nullptr) ::DestroyWindow(window_);
  runner_.reset();
}

int TVelmorandiSaverForm::Run() {
  return platform::RunMessageLoop(
      [this] { return runner_ ? runner_->Idle() : platform::kWaitForMessages; });
}

void TVelmorandiSaverForm::DeviceStarted(SaverDisplay display) {
  if (display == SaverDisplay::kScaled) {
    // The device's switch to a window sized the window to the back buffer and let others
    // above it; Direct3D stretches each frame over the client area.
    PlaceAt(window_, HWND_TOPMOST, LetterboxRect(PrimaryMonitor()), 0);
    CoverMonitors(RECT{});
  } else {
    CoverMonitors(PrimaryMonitor());
  }
  // Above the covers, its own monitor's one included, however the window system stacked
  // them when they appeared.
  ::SetWindowPos(window_, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  ::SetWindowPos(window_, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  ::SetForegroundWindow(window_);
  ::SetFocus(window_);
}

// Black windows over every monitor but `except`, each just below the saver window, so that
// on its own monitor the frame stays above its cover.
void TVelmorandiSaverForm::CoverMonitors(const RECT& except) {
  for (const RECT& monitor : MonitorRects()) {
    if (::EqualRect(&monitor, &except)) continue;
    HWND cover =
        ::CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, kCoverClass, kTitle,
                          WS_POPUP, monitor.left, monitor.top, monitor.right - monitor.left,
                          monitor.bottom - monitor.top, nullptr, nullptr, instance_, this);
    if (cover == nullptr) continue;
    PlaceAt(cover, window_, monitor, SWP_NOACTIVATE);
    covers_.push_back(cover);
  }
}

void TVelmorandiSaverForm::FramePresenting(IDirect3DDevice9& device) {
  ++framesPresented_;
  if (!frameCopy_ || frameCopy_->frame != framesPresented_) return;
  const FrameCopy copy = ReadBackBuffer(device);
  std::string error = copy.error;
  if (error.empty()) error = WritePpm(copy, frameCopy_->path);
  if (!error.empty()) std::fprintf(stderr, "velmorandi: frame copy: %s\n", error.c_str());
}

LRESULT CALLBACK TVelmorandiSaverForm::WindowProc(HWND window, UINT message, WPARAM wParam,
                                                  LPARAM lParam) {
  auto* form = static_cast<TVelmorandiSaverForm*>(WindowOwner(window, message, lParam));
  if (form == nullptr) return ::DefWindowProcW(window, message, wParam, lParam);
  // Messages come before CreateWindowExW has returned the handle.
  if (form->window_ == nullptr) form->window_ = window;
  return form->OnMessage(message, wParam, lParam);
}

LRESULT CALLBACK TVelmorandiSaverForm::CoverProc(HWND window, UINT message, WPARAM wParam,
                                                 LPARAM lParam) {
  auto* form = static_cast<TVelmorandiSaverForm*>(WindowOwner(window, message, lParam));
  LRESULT result = 0;
  if (form != nullptr && form->OnInput(window, message, wParam, lParam, result)) return result;
  // A click leaves the saver window active and on top.
  if (message == WM_MOUSEACTIVATE) return MA_NOACTIVATE;
  return ::DefWindowProcW(window, message, wParam, lParam);
}

bool TVelmorandiSaverForm::OnInput(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                   LRESULT& result) {
  result = 0;
  switch (message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
      if (runner_) runner_->KeyDown();
      return true;
    case WM_MOUSEMOVE: {
      // In frame pixels, whichever window the pointer is over: full screen the client area is
      // the frame, scaled the frame is the saver window's client area on the screen.
      POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
      ::ClientToScreen(window, &point);
      RECT frame{};
      ::GetClientRect(window_, &frame);
      ::MapWindowPoints(window_, nullptr, reinterpret_cast<POINT*>(&frame), 2);
      const POINT inFrame = FramePointOf(point, frame);
      if (runner_) runner_->MouseMove(inFrame.x, inFrame.y);
      return true;
    }
    case WM_SYSCOMMAND: {
      std::intptr_t answer = 0;
      if (WMSysCommand(static_cast<std::uint32_t>(wParam & 0xFFF0), answer) !=
          SysCommandAnswer::kHandled) {
        return false;
      }
      result = answer;
      return true;
    }
    case WM_CLOSE:
      // FormClose: the cursor shows again and the loop ends.
      if (runner_) runner_->Close();
      return true;
    default:
      return false;
  }
}

LRESULT TVelmorandiSaverForm::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  LRESULT result = 0;
  if (OnInput(window_, message, wParam, lParam, result)) return result;
  switch (message) {
    case WM_DESTROY:
      FormDestroy();
      ::SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
      window_ = nullptr;
      return 0;
    case WM_ERASEBKGND:
      return 1;  // every tick draws the whole client area
    case WM_PAINT:
      ::ValidateRect(window_, nullptr);
      return 0;
    default:
      break;
  }
  return ::DefWindowProcW(window_, message, wParam, lParam);
}

}  // namespace shell
