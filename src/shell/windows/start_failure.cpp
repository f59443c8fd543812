#include "shell/windows/start_failure.h"

#include <windows.h>

#include <string>

#include "dg/debug_log.h"
#include "platform/fs/fs.h"
#include "platform/text/text.h"

namespace shell {
namespace {

constexpr wchar_t kTitle[] = L"ヴェルモランディ";

std::wstring Wide(const std::string& utf8) {
  const std::u16string text = platform::Utf8ToUtf16(utf8);
  return std::wstring(text.begin(), text.end());
}

BOOL CALLBACK HideWindow(HWND window, LPARAM) {
  if (::IsWindowVisible(window)) ::ShowWindow(window, SW_HIDE);
  return TRUE;
}

// The device may have switched the display: the box must come up on the desktop as the user
// left it, not on a black 640 x 480 screen.
void GiveBackTheScreen() {
  ::EnumThreadWindows(::GetCurrentThreadId(), &HideWindow, 0);
  ::ChangeDisplaySettingsExW(nullptr, nullptr, nullptr, 0, nullptr);
  while (::ShowCursor(TRUE) < 0) {
  }
}

// The caller's message names the file; the cause, when one was noted, says what went wrong
// with it, else the result code does.
std::string NoticeText(const dg::HaltReport& report) {
  std::string text = "スクリーンセーバーを開始できませんでした。\n\n" + report.message +
                     "\n理由: " + (report.cause.empty() ? report.codeName : report.cause);
  if (!report.logPath.empty()) text += "\n\n記録: " + platform::DisplayPath(report.logPath);
  return text;
}

void ShowNotice(const dg::HaltReport& report) {
  GiveBackTheScreen();
  ::MessageBoxW(nullptr, Wide(NoticeText(report)).c_str(), kTitle,
                MB_OK | MB_ICONERROR | MB_SETFOREGROUND | MB_TOPMOST);
}

}  // namespace

StartFailureNotice::StartFailureNotice() { dg::SetHaltNotice(&ShowNotice); }
StartFailureNotice::~StartFailureNotice() { dg::SetHaltNotice({}); }

}  // namespace shell
