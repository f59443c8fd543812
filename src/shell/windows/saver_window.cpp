#include "shell/windows/saver_window.h"

#include <windowsx.h>

#include <algorithm>
#include <cstdio>

#include "platform/gdi/gdi.h"
#include "platform/winmm/timer.h"
#include "shell/saver_device.h"
#include "shell/windows/frame_copy.h"
#include "shell/windows/message_loop.h"

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
    : options_(std::move(options)) {
  RegisterWindowClass(instance, &WindowProc);
  // The client area is the frame: the full-screen device takes the window over at the
  // 640 x 480 display mode.
  window_ = ::CreateWindowExW(WS_EX_TOPMOST, kWindowClass, kTitle, WS_POPUP, 0, 0, 640, 480,
                              nullptr, nullptr, instance, this);
  ::ShowWindow(window_, SW_SHOW);
  ::SetForegroundWindow(window_);
  ::SetFocus(window_);

  DG = std::make_unique<dg::TDGCarad>(window_);
  StartSaverDevice(*DG);
  ::ShowCursor(FALSE);

  presentation::ScreenOptions screenOptions;
  screenOptions.dataDir = options_.paths.dataDir;
  screenOptions.processMessages = [] { ProcessPendingMessages(); };
  // A device that can no longer draw ends the program without the closing handler.
  screenOptions.deviceLost = [] { ::PostQuitMessage(0); };
  // The timer resolution is raised between the scene and the textures.
  screenOptions.sceneMade = [] { platform::timeBeginPeriod(1); };
  screenOptions.framePresenting = [this](IDirect3DDevice9& device) { FramePresenting(device); };
  screen_ = std::make_unique<presentation::SaverScreen>(*DG, screenOptions);

  SessionOptions sessionOptions{
      options_.paths, options_.seed,
      [](const std::string& face) { return platform::gdi::IsJapaneseScreenFont(face); },
      MusicOutput::kPlay, [] { ProcessPendingMessages(); }};
  session_ = std::make_unique<SaverSession>(*screen_, clock_, std::move(sessionOptions));
  session_->StartUp();
}

TVelmorandiSaverForm::~TVelmorandiSaverForm() {
  if (window_ != nullptr) ::DestroyWindow(window_);
}

std::uint32_t TVelmorandiSaverForm::ApplicationEvents1Idle() {
  if (closed_ || destroyed_) return kWaitForMessages;
  if (session_->Tick() && options_.reportFirstFrameSince && !firstFrameReported_ &&
      framesPresented_ > 0) {
    firstFrameReported_ = true;
    const auto us = std::chrono::duration_cast<std::chrono::microseconds>(
                        std::chrono::steady_clock::now() - *options_.reportFirstFrameSince)
                        .count();
    std::fprintf(stderr, "velmorandi: first frame presented %.1f ms after start\n", us / 1000.0);
    std::fflush(stderr);
  }
  // One wake-up a tick: the loop waits for messages until the next one is due.
  const auto remaining =
      static_cast<std::int32_t>(session_->LastTickTime() + kTickMs - clock_.Now());
  return static_cast<std::uint32_t>(std::max(remaining, 1));
}

// Input may arrive in the middle of a frame (the frame lets pending messages through), so
// the handlers only ask the window to close; the loop ends after the current tick.
void TVelmorandiSaverForm::FormKeyDown() { ::PostMessageW(window_, WM_CLOSE, 0, 0); }

void TVelmorandiSaverForm::FormMouseMove(int x, int y) {
  if (mouse_.Move(x, y) == MouseVerdict::kClose) ::PostMessageW(window_, WM_CLOSE, 0, 0);
}

void TVelmorandiSaverForm::FormClose() {
  if (closed_) return;
  closed_ = true;
  ::ShowCursor(TRUE);
  // The saver window is the main window: closing it ends the message loop.
  ::PostQuitMessage(0);
}

void TVelmorandiSaverForm::FormDestroy() {
  if (destroyed_) return;
  destroyed_ = true;
  platform::timeEndPeriod(1);
  session_.reset();
  screen_.reset();
  DG.reset();
}

void TVelmorandiSaverForm::FramePresenting(IDirect3DDevice9& device) {
  ++framesPresented_;
  if (!options_.frameCopy || options_.frameCopy->frame != framesPresented_) return;
  const FrameCopy copy = ReadBackBuffer(device);
  std::string error = copy.error;
  if (error.empty()) error = WritePpm(copy, options_.frameCopy->path);
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
      FormKeyDown();
      return 0;
    case WM_MOUSEMOVE:
      FormMouseMove(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
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
      FormClose();
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
