#include "platform/window/client_area.h"

#include <gtest/gtest.h>

namespace {

struct Styles {
  DWORD style;
  DWORD exStyle;
};

class ClientArea : public ::testing::TestWithParam<Styles> {};

// Whatever frame a window has, the drawable area comes out at the asked size and the
// window's corner stays.
TEST_P(ClientArea, ResizeGivesTheDrawableAreaAskedFor) {
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = ::DefWindowProcW;
  windowClass.hInstance = ::GetModuleHandleW(nullptr);
  windowClass.lpszClassName = L"ClientAreaTest";
  ::RegisterClassW(&windowClass);
  HWND window = ::CreateWindowExW(GetParam().exStyle, L"ClientAreaTest", L"", GetParam().style, 30,
                                  40, 100, 100, nullptr, nullptr, windowClass.hInstance, nullptr);
  ASSERT_NE(window, nullptr);
  platform::ResizeClient(window, 320, 200);
  const platform::ClientSize size = platform::GetClientSize(window);
  EXPECT_EQ(size.width, 320);
  EXPECT_EQ(size.height, 200);
  RECT bounds{};
  ::GetWindowRect(window, &bounds);
  EXPECT_EQ(bounds.left, 30);
  EXPECT_EQ(bounds.top, 40);
  ::DestroyWindow(window);
  EXPECT_EQ(platform::GetClientSize(window).width, 0);  // a window that is gone has no area
}

INSTANTIATE_TEST_SUITE_P(Frames, ClientArea,
                         ::testing::Values(Styles{WS_POPUP, 0}, Styles{WS_OVERLAPPEDWINDOW, 0},
                                           Styles{WS_POPUP | WS_DLGFRAME, WS_EX_TOOLWINDOW}));

}  // namespace
