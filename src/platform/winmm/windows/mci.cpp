#include "platform/winmm/mci.h"

#include <algorithm>
#include <string>
#include <vector>

#include "platform/text/text.h"
#include "platform/winmm/audio_device.h"
#include "platform/winmm/mci_errors.h"
#include "platform/winmm/windows/system_strings.h"

namespace {
constexpr platform::MCIERROR kOurOverflow = platform::MCIERR_PARAM_OVERFLOW;
constexpr platform::MCIERROR kOurNoCommand = platform::MCIERR_MISSING_COMMAND_STRING;
constexpr platform::MCIERROR kOurNotFound = platform::MCIERR_FILE_NOT_FOUND;
}  // namespace

#include <windows.h>
// After windows.h, whose types it uses.
#include <mmsystem.h>

// Our codes are the system's, so its results pass through unchanged.
static_assert(kOurOverflow == MCIERR_PARAM_OVERFLOW &&
              kOurNoCommand == MCIERR_MISSING_COMMAND_STRING &&
              kOurNotFound == MCIERR_FILE_NOT_FOUND);

namespace platform {
namespace {

constexpr UINT kAnswerRoom = 512;

void CloseAllDevices() { ::mciSendStringW(L"close all", nullptr, 0, nullptr); }

std::string Utf8(const wchar_t* text) {
  const std::wstring wide(text);
  return Utf16ToUtf8(std::u16string(wide.begin(), wide.end()));
}

}  // namespace

MCIERROR mciSendStringA(const char* command, char* returnString, UINT returnLength,
                        void* callback) {
  RegisterAudioReleaseHook(CloseAllDevices);
  if (returnString && returnLength > 0) returnString[0] = '\0';
  if (!command) return kOurNoCommand;
  const bool answer = returnString != nullptr;
  // Room for any answer: the system may cut one that does not fit without saying so, while
  // ours must report it.
  std::vector<wchar_t> wide(std::max<UINT>(returnLength, kAnswerRoom), L'\0');
  const MCIERROR error =
      ::mciSendStringW(SystemMciCommand(command).c_str(), answer ? wide.data() : nullptr,
                       answer ? static_cast<UINT>(wide.size()) : 0, static_cast<HWND>(callback));
  if (error != 0 || !answer) return error;
  wide.back() = L'\0';
  const std::string text = Utf8(wide.data());
  if (text.size() + 1 > returnLength) return kOurOverflow;
  CopyCut(text, returnString, returnLength);
  return 0;
}

BOOL mciGetErrorStringA(MCIERROR code, char* text, UINT length) {
  wchar_t system[256] = {};
  std::string message;
  if (::mciGetErrorStringW(code, system, 256)) message = Utf8(system);
  // Wine leaves some texts empty; ours stand in for them.
  const char* ours = MciErrorText(code);
  if (message.empty() && ours) message = ours;
  const bool known = !message.empty();
  CopyCut(known ? message : "Unknown error code.", text, length);
  return known ? 1 : 0;
}

}  // namespace platform
