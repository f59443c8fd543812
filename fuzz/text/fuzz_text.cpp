// Every conversion on arbitrary bytes, with the invariants that hold for any input.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/text/text.h"

using namespace platform;

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

bool HasUnpairedSurrogate(std::u16string_view text) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char16_t unit = text[i];
    if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
        text[i + 1] <= 0xDFFF) {
      ++i;
    } else if (unit >= 0xD800 && unit <= 0xDFFF) {
      return true;
    }
  }
  return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);

  // Bytes as CP932: the result is well-formed, and re-encoding loses only what did not
  // decode (it comes back as '?').
  const std::u16string fromAnsi = AnsiToUtf16(bytes);
  Check(!HasUnpairedSurrogate(fromAnsi));
  std::u16string expected = fromAnsi;
  for (char16_t& unit : expected) {
    if (unit == u'\uFFFD') unit = u'?';
  }
  Check(AnsiToUtf16(Utf16ToAnsi(fromAnsi)) == expected);
  Check(IsValidUtf8(AnsiToUtf8(bytes)));
  Check(AnsiToUtf8(bytes) == Utf16ToUtf8(fromAnsi));

  // Bytes as UTF-8: valid text survives both ways; anything decodes to valid text.
  const std::u16string fromUtf8 = Utf8ToUtf16(bytes);
  Check(!HasUnpairedSurrogate(fromUtf8));
  const std::string back = Utf16ToUtf8(fromUtf8);
  Check(IsValidUtf8(back));
  if (IsValidUtf8(bytes)) Check(back == bytes);
  (void)Utf8ToAnsi(bytes);

  // Bytes as UTF-16.
  std::u16string units(size / 2, u'\0');
  std::memcpy(units.data(), data, units.size() * 2);
  const std::string utf8 = Utf16ToUtf8(units);
  Check(IsValidUtf8(utf8));
  if (!HasUnpairedSurrogate(units)) Check(Utf8ToUtf16(utf8) == units);
  const std::string ansi = Utf16ToAnsi(units);
  Check(AnsiToUtf16(ansi).find(u'\uFFFD') == std::u16string::npos);

  // The reading rule always yields UTF-8, without a leading byte-order mark.
  const std::string decoded = DecodeTextFile(bytes);
  Check(IsValidUtf8(decoded));
  if (IsValidUtf8(bytes)) Check(bytes.ends_with(decoded) && bytes.size() - decoded.size() <= 3);

  // A line marked lossless gives its bytes back.
  const DecodedLine line = DecodeTextLine(bytes);
  Check(IsValidUtf8(line.utf8));
  if (line.lossless) Check(line.utf8 == bytes || Utf8ToAnsi(line.utf8) == bytes);

  // Lower-casing touches single-byte capitals only and is idempotent.
  const std::string lowered = AnsiLowerCase(bytes);
  Check(lowered.size() == bytes.size());
  for (std::size_t i = 0; i < size; ++i) {
    const auto in = static_cast<unsigned char>(bytes[i]);
    const auto out = static_cast<unsigned char>(lowered[i]);
    Check(in == out || (in >= 'A' && in <= 'Z' && out == in + 32));
  }
  Check(AnsiLowerCase(lowered) == lowered);
  return 0;
}
