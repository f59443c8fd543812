#include "platform/fs/windows/wide_path.h"

#include <windows.h>

#include <algorithm>

#include "platform/text/text.h"

namespace platform {

std::wstring WidePath(const std::string& path) {
  const std::u16string text = Utf8ToUtf16(path);
  return std::wstring(text.begin(), text.end());
}

std::string Utf8Path(const std::wstring& path) {
  std::string utf8 = Utf16ToUtf8(std::u16string(path.begin(), path.end()));
  std::replace(utf8.begin(), utf8.end(), '\\', '/');
  return utf8;
}

std::string SystemError(unsigned long code) {
  wchar_t* message = nullptr;
  const DWORD length = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, code, 0, reinterpret_cast<wchar_t*>(&message), 0, nullptr);
  std::wstring text = length > 0 ? std::wstring(message, length) : std::wstring();
  LocalFree(message);
  while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' '))
    text.pop_back();
  if (text.empty()) return "error " + std::to_string(code);
  return Utf16ToUtf8(std::u16string(text.begin(), text.end()));
}

}  // namespace platform
