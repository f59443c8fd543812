#include "platform/winmm/windows/system_strings.h"

#include "platform/text/text.h"

namespace platform {
namespace {

std::wstring Wide(const std::string& text) {
  const std::u16string utf16 = Utf8ToUtf16(text);
  return std::wstring(utf16.begin(), utf16.end());
}

}  // namespace

std::wstring SystemPath(const std::string& path) {
  std::wstring wide = Wide(path);
  for (wchar_t& c : wide) {
    if (c == L'/') c = L'\\';
  }
  return wide;
}

std::wstring SystemMciCommand(const std::string& command) {
  std::wstring wide = Wide(command);
  bool quoted = false;
  for (wchar_t& c : wide) {
    if (c == L'"') quoted = !quoted;
    if (quoted && c == L'/') c = L'\\';
  }
  return wide;
}

}  // namespace platform
