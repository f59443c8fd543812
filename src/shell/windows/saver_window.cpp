#include "shell/windows/saver_window.h"

#include <windowsx.h>

#include <algorithm>
#include <cstdio>

#include "platform/loop/message_loop.h"
#include "shell/windows/frame_copy.h"

namespace shell {

namespace {

constexpr wchar_t kWindowClass[] = L"VelmorandiSaverWindow";
constexpr wchar_t kTitle[] = L"ヴェルモランディ";

void RegisterWindowClass(HINSTANCE instance, WNDPROC procedure) {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = procedure;
  windowClass.hInstance = instance;
  windowClass.hbrBackground = static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH));
  windowClass.lpszClassName = kWindowClass;
  // A second registration in the same process fails harmlessly.
  ::RegisterClassExW(&windowClass);
}

}  // namespace

TVelmorandiSaverForm::TVelmorandiSaverForm(HINSTANCE instance, SaverWindowOptions options)
    : frameCopy_(options.frameCopy) {
  RegisterWindowClass(instance, &WindowProc);
  // The client area is the frame: the full-screen device takes the window over at the
  // 640 x 480 display mode.
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
  if (window_ != nullptr) ::DestroyWindow(window_);
  runner_.reset();
}

int TVelmorandiSaverForm::Run() {
  return platform::RunMessageLoop(
      [this] { return runner_ ? runner_->Idle() : platform::kWaitForMessages; });
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
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
    ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* form = reinterpret_cast<TVelmorandiSaverForm*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
  if (form == nullptr) return ::DefWindowProcW(window, message, wParam, lParam);
  // Messages come before CreateWindowExW has returned the handle.
  if (form->window_ == nullptr) form->window_ = window;
  return form->OnMessage(message, wParam, lParam);
}

LRESULT TVelmorandiSaverForm::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
      if (runner_) runner_->KeyDown();
      return 0;
    case WM_MOUSEMOVE:
      // Client pixels, which full screen are frame pixels.
      if (runner_) runner_->MouseMove(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
      return 0;
    case WM_SYSCOMMAND: {
      std::intptr_t result = 0;
      if (WMSysCommand(static_cast<std::uint32_t>(wParam & 0xFFF0), result) ==
          SysCommandAnswer::kHandled) {
        return result;
      }
      break;
    }
    case WM_CLOSE:
      // FormClose: the cursor shows again and the loop ends.
      if (runner_) runner_->Close();
      return 0;
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
