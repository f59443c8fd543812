// The byte rules of CP932 text and the conversions through UTF-16, the same on every system;
// the code page tables themselves are each system's own (linux/, windows/).
#include "platform/text/text.h"

namespace platform {

bool IsLeadByte(unsigned char byte) { return (byte >= 0x81 && byte <= 0x9F) || byte >= 0xE0; }

std::string AnsiToUtf8(std::string_view ansi) { return Utf16ToUtf8(AnsiToUtf16(ansi)); }

std::string Utf8ToAnsi(std::string_view utf8) { return Utf16ToAnsi(Utf8ToUtf16(utf8)); }

std::string AnsiLowerCase(std::string_view ansi) {
  std::string out(ansi);
  for (std::size_t i = 0; i < out.size(); ++i) {
    const auto byte = static_cast<unsigned char>(out[i]);
    if (IsLeadByte(byte)) {
      ++i;  // the trail byte may look like an ASCII capital; it is not one
    } else if (byte >= 'A' && byte <= 'Z') {
      out[i] = static_cast<char>(byte - 'A' + 'a');
    }
  }
  return out;
}

}  // namespace platform
