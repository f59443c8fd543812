// The character walk of the text writers over Shift-JIS bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace sx {

// The code of the character at `pos` of `text` (pos < size), and `pos` moved past it. A
// lead byte (0x81..0x9F, 0xE0..0xFF) followed by another byte forms lead x 256 + trail;
// every other byte, and a lead byte that ends the text, is a character of its own.
inline std::uint32_t NextShiftJisCode(std::string_view text, std::size_t& pos) {
  const auto byte = static_cast<unsigned char>(text[pos++]);
  const bool lead = (byte >= 0x81 && byte <= 0x9F) || byte >= 0xE0;
  if (!lead || pos >= text.size()) return byte;
  return (static_cast<std::uint32_t>(byte) << 8) | static_cast<unsigned char>(text[pos++]);
}

}  // namespace sx
