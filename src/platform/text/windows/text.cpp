// The system's ANSI code page through MultiByteToWideChar and WideCharToMultiByte. Text files
// are in that code page, as every program of the system writes them. A whole string is
// converted in one call; only a string with a character the code page cannot take is
// converted again character by character, so each such character gets exactly one
// replacement, as on every other system.
#include <windows.h>

#include <utility>

#include "platform/text/text.h"

namespace platform {
namespace {

bool IsTrailByte(unsigned char byte) {
  return (byte >= 0x40 && byte <= 0x7E) || (byte >= 0x80 && byte <= 0xFC);
}

const wchar_t* Wide(const char16_t* text) { return reinterpret_cast<const wchar_t*>(text); }
wchar_t* Wide(char16_t* text) { return reinterpret_cast<wchar_t*>(text); }

// The whole of `ansi` when every byte decodes, else nothing.
bool TryAnsiToUtf16(std::string_view ansi, std::u16string& out) {
  const int length = static_cast<int>(ansi.size());
  const int units =
      MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, ansi.data(), length, nullptr, 0);
  if (units <= 0) return false;
  out.resize(static_cast<std::size_t>(units));
  return MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, ansi.data(), length, Wide(out.data()),
                             units) == units;
}

// The bytes of `text`, and whether a character had no place in the code page.
std::string Utf16ToAnsiWithDefault(std::u16string_view text, bool& usedDefault) {
  const int length = static_cast<int>(text.size());
  BOOL defaulted = FALSE;
  const int bytes = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, Wide(text.data()), length,
                                        nullptr, 0, "?", &defaulted);
  std::string out(static_cast<std::size_t>(bytes > 0 ? bytes : 0), '\0');
  if (bytes > 0) {
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, Wide(text.data()), length, out.data(), bytes,
                        "?", &defaulted);
  }
  usedDefault = bytes <= 0 || defaulted;
  return out;
}

}  // namespace

std::u16string AnsiToUtf16(std::string_view ansi) {
  std::u16string text;
  if (ansi.empty() || TryAnsiToUtf16(ansi, text)) return text;
  text.clear();
  std::u16string one;
  for (std::size_t pos = 0; pos < ansi.size();) {
    const auto first = static_cast<unsigned char>(ansi[pos]);
    // A lead byte followed by a byte that can trail is one character; a lead byte before
    // anything else stands alone, so the byte after it (a line end, say) survives.
    // 0xFD..0xFF count as lead bytes for the byte-by-byte rules but open no character.
    const bool pair = IsLeadByte(first) && first <= 0xFC && pos + 1 < ansi.size() &&
                      IsTrailByte(static_cast<unsigned char>(ansi[pos + 1]));
    const std::size_t length = pair ? 2 : 1;
    if (TryAnsiToUtf16(ansi.substr(pos, length), one)) {
      text += one;
    } else {
      text += u'\uFFFD';
    }
    pos += length;
  }
  return text;
}

std::string Utf16ToAnsi(std::u16string_view text) {
  bool usedDefault = false;
  std::string ansi = Utf16ToAnsiWithDefault(text, usedDefault);
  if (text.empty() || !usedDefault) return ansi;
  ansi.clear();
  for (std::size_t pos = 0; pos < text.size();) {
    const char16_t unit = text[pos];
    const bool pair = unit >= 0xD800 && unit <= 0xDBFF && pos + 1 < text.size() &&
                      text[pos + 1] >= 0xDC00 && text[pos + 1] <= 0xDFFF;
    const std::size_t length = pair ? 2 : 1;
    const std::string one = Utf16ToAnsiWithDefault(text.substr(pos, length), usedDefault);
    ansi += usedDefault || (unit >= 0xD800 && unit <= 0xDFFF && !pair) ? std::string("?") : one;
    pos += length;
  }
  return ansi;
}

// Every line is in the code page. Lossless when the text converts back to the very same
// bytes: no byte was replaced and no two byte sequences met in one character.
DecodedLine DecodeTextLine(std::string_view bytes) {
  std::string utf8 = AnsiToUtf8(bytes);
  const bool lossless = Utf8ToAnsi(utf8) == bytes;
  return {std::move(utf8), lossless};
}

std::string DecodeTextFile(std::string_view bytes) {
  // An editor that saved the file as UTF-8 put the mark in front; read as the code page it
  // would open the first line with two stray characters.
  if (bytes.starts_with(kUtf8ByteOrderMark)) bytes.remove_prefix(kUtf8ByteOrderMark.size());
  return AnsiToUtf8(bytes);
}

std::string EncodeTextFile(std::string_view utf8) { return Utf8ToAnsi(utf8); }

}  // namespace platform
