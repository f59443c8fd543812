// Text encodings of the program.
//
// Inside the program a std::string holds UTF-8 (paths, settings values, file contents once
// read) unless its name or comment says "ansi": then it holds CP932 (Shift-JIS), the code
// page of everything the text writers, the archive ids and the caption shortening work on
// byte by byte (on Windows: the system's ANSI code page, CP932 on a Japanese system).
// Idiom texts are held as UTF-16 (std::u16string).
#pragma once

#include <string>
#include <string_view>

namespace platform {

// True for the bytes that open a two-byte CP932 character (0x81..0x9F, 0xE0..0xFF).
bool IsLeadByte(unsigned char byte);

// Conversions. Bytes that do not decode become U+FFFD; characters that CP932 cannot hold
// become '?'. None of them throws.
std::u16string AnsiToUtf16(std::string_view ansi);
std::string Utf16ToAnsi(std::u16string_view text);
std::string AnsiToUtf8(std::string_view ansi);
std::string Utf8ToAnsi(std::string_view utf8);
std::u16string Utf8ToUtf16(std::string_view utf8);
std::string Utf16ToUtf8(std::u16string_view text);

bool IsValidUtf8(std::string_view bytes);

inline constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

// The rule for every text file the program reads, line by line: a line that is valid UTF-8
// is UTF-8, any other line is CP932. A file made on either side reads right, and one stray
// byte (a Latin-1 letter in a comment) affects its own line only. On Windows every line is
// in the system's code page, as every program there writes its files.
struct DecodedLine {
  std::string utf8;
  // False when the CP932 reading replaced bytes or would not give the same bytes back: such
  // a line must be written back as the bytes it came from, never from `utf8`.
  bool lossless = true;
};
DecodedLine DecodeTextLine(std::string_view bytes);

// A whole file by the rule above, a leading byte-order mark dropped. Returns UTF-8.
std::string DecodeTextFile(std::string_view bytes);

// The bytes of a text file the program writes, from UTF-8: UTF-8 on Linux, the system's
// code page on Windows, as every program there writes its files. Line ends are the caller's.
std::string EncodeTextFile(std::string_view utf8);

// ASCII letters of single-byte characters lowered; the trail byte of a two-byte character
// (0x83 0x41 is "ア") is never touched.
std::string AnsiLowerCase(std::string_view ansi);

}  // namespace platform
