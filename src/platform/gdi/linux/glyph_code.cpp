#include "platform/gdi/linux/glyph_code.h"

#include <string>
#include <unordered_map>

#include "platform/text/text.h"

namespace platform::gdi {
namespace {

constexpr char32_t kNoCharacter = 0xFFFFFFFF;

char32_t Convert(unsigned code) {
  std::string bytes;
  if (code <= 0xFF) {
    if (platform::IsLeadByte(static_cast<unsigned char>(code))) return kNoCharacter;
    bytes.push_back(static_cast<char>(code));
  } else {
    const auto lead = static_cast<unsigned char>(code >> 8);
    if (!platform::IsLeadByte(lead)) return kNoCharacter;
    bytes.push_back(static_cast<char>(lead));
    bytes.push_back(static_cast<char>(code & 0xFF));
  }
  const std::u16string text = platform::AnsiToUtf16(bytes);
  // One CP932 character is one BMP character; anything else means the bytes did not decode.
  if (text.size() != 1 || text[0] == u'\uFFFD') return kNoCharacter;
  return text[0];
}

}  // namespace

std::optional<char32_t> CharacterOfCode(unsigned code) {
  if (code > 0xFFFF) return std::nullopt;
  // Never destroyed (see the font system in gdi.cpp); at most 65,536 entries.
  static auto* const known = new std::unordered_map<unsigned, char32_t>;
  auto it = known->find(code);
  if (it == known->end()) it = known->emplace(code, Convert(code)).first;
  if (it->second == kNoCharacter) return std::nullopt;
  return it->second;
}

}  // namespace platform::gdi
