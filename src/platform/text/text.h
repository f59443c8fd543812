// Text encodings of the program.
//
// Inside the program a std::string holds UTF-8 (paths, settings values, file contents once
// read) unless its name or comment says "ansi": then it holds CP932 (Shift-JIS), the code
// page of everything the text writers, the archive ids and the caption shortening work on
// byte by byte. Idiom texts are held as UTF-16 (std::u16string).
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

// The rule for every text file the program reads: UTF-8 when the bytes are valid UTF-8
// (a leading byte-order mark is dropped), otherwise CP932. Returns UTF-8.
std::string DecodeTextFile(std::string_view bytes);

// ASCII letters of single-byte characters lowered; the trail byte of a two-byte character
// (0x83 0x41 is "ア") is never touched.
std::string AnsiLowerCase(std::string_view ansi);

}  // namespace platform
