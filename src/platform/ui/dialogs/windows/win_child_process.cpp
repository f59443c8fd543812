#include "platform/ui/dialogs/windows/win_child_process.h"

#include <vector>

namespace platform::ui {

std::unique_ptr<WinChildProcess> WinChildProcess::Start(const std::wstring& commandLine) {
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  GetStartupInfoW(&startup);
  PROCESS_INFORMATION started{};
  // CreateProcessW may write into its command line.
  std::vector<wchar_t> line(commandLine.begin(), commandLine.end());
  line.push_back(L'\0');
  if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, CREATE_DEFAULT_ERROR_MODE,
                      nullptr, nullptr, &startup, &started)) {
    return nullptr;
  }
  CloseHandle(started.hThread);
  return std::unique_ptr<WinChildProcess>(new WinChildProcess(started.hProcess));
}

WinChildProcess::~WinChildProcess() { CloseHandle(process_); }

bool WinChildProcess::HasEnded() { return WaitForSingleObject(process_, 0) != WAIT_TIMEOUT; }

}  // namespace platform::ui
