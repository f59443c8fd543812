// From the character codes the text writers pass (one Shift-JIS byte, or lead byte x 256 +
// trail byte) to Unicode.
#pragma once

#include <optional>

namespace platform::gdi {

// The Unicode character of a CP932 code, or nothing when the code is no character: a lead
// byte on its own, a two-byte code whose first byte is no lead byte or whose pair does not
// decode, a value above 0xFFFF. Conversions are remembered, so repeated codes are cheap;
// the memory is unsynchronised (gdi.cpp calls this under its lock).
std::optional<char32_t> CharacterOfCode(unsigned code);

}  // namespace platform::gdi
