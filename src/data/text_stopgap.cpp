// Stand-in for the four text routines of vm_platform_text this folder uses, compiled only
// while that library is missing from the tree. Remove once it is merged.
#include <iconv.h>

#include <string>
#include <string_view>

#include "platform/text/text.h"

namespace platform {

namespace {

std::string Convert(std::string_view in, const char* to, const char* from) {
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) return std::string(in);
  std::string out(in.size() * 4 + 4, '\0');
  char* src = const_cast<char*>(in.data());
  std::size_t srcLeft = in.size();
  char* dst = out.data();
  std::size_t dstLeft = out.size();
  while (srcLeft > 0) {
    if (iconv(cd, &src, &srcLeft, &dst, &dstLeft) == static_cast<std::size_t>(-1)) {
      if (dstLeft < 3) break;
      *dst++ = '?';
      --dstLeft;
      ++src;
      --srcLeft;
    }
  }
  iconv_close(cd);
  out.resize(out.size() - dstLeft);
  return out;
}

}  // namespace

bool IsLeadByte(unsigned char byte) { return (byte >= 0x81 && byte <= 0x9F) || byte >= 0xE0; }

std::string AnsiLowerCase(std::string_view ansi) {
  std::string out(ansi);
  for (std::size_t i = 0; i < out.size(); ++i) {
    const auto b = static_cast<unsigned char>(out[i]);
    if (IsLeadByte(b)) {
      ++i;
    } else if (b >= 'A' && b <= 'Z') {
      out[i] = static_cast<char>(b + 32);
    }
  }
  return out;
}

std::string AnsiToUtf8(std::string_view ansi) { return Convert(ansi, "UTF-8", "CP932"); }
std::string Utf8ToAnsi(std::string_view utf8) { return Convert(utf8, "CP932", "UTF-8"); }

bool IsValidUtf8(std::string_view bytes) {
  iconv_t cd = iconv_open("UTF-8", "UTF-8");
  std::string out(bytes.size() + 4, '\0');
  char* src = const_cast<char*>(bytes.data());
  std::size_t srcLeft = bytes.size();
  char* dst = out.data();
  std::size_t dstLeft = out.size();
  const bool ok = iconv(cd, &src, &srcLeft, &dst, &dstLeft) != static_cast<std::size_t>(-1);
  iconv_close(cd);
  return ok;
}

}  // namespace platform
