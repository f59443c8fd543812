#include "platform/loop/message_loop.h"

#include <gtest/gtest.h>
#include <windows.h>

namespace {

// A message-only window that counts what is dispatched to it.
class CountingWindow {
 public:
  CountingWindow() {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = &Procedure;
    windowClass.hInstance = ::GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"MessageLoopTest";
    ::RegisterClassW(&windowClass);
    window_ = ::CreateWindowExW(0, L"MessageLoopTest", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                windowClass.hInstance, nullptr);
    ::SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&count_));
  }
  ~CountingWindow() { ::DestroyWindow(window_); }
  void Post() const { ::PostMessageW(window_, WM_USER, 0, 0); }
  int Count() const { return count_; }

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_USER) {
      ++*reinterpret_cast<int*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
      return 0;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
  }
  HWND window_ = nullptr;
  int count_ = 0;
};

TEST(MessageLoop, IdleRunsBetweenMessagesUntilQuitWhoseCodeItReturns) {
  CountingWindow window;
  window.Post();
  int idleCalls = 0;
  int seenAtFirstIdle = -1;
  const int code = platform::RunMessageLoop([&]() -> std::uint32_t {
    if (++idleCalls == 1) seenAtFirstIdle = window.Count();
    if (idleCalls == 3) platform::QuitMessageLoop(7);
    return 1;  // the loop waits a millisecond for messages, then calls again
  });
  EXPECT_EQ(code, 7);
  EXPECT_EQ(seenAtFirstIdle, 1);  // queued messages go before the idle handler
  EXPECT_EQ(idleCalls, 3);
}

TEST(MessageLoop, PendingMessagesHandledMidWorkKeepAQuitForTheLoop) {
  CountingWindow window;
  window.Post();
  ::PostQuitMessage(3);
  window.Post();
  platform::ProcessPendingMessages();
  EXPECT_EQ(window.Count(), 2);  // a quit comes out after every other message
  EXPECT_EQ(platform::RunMessageLoop(nullptr), 3);
}

}  // namespace
