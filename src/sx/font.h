// A text writer's font: face name, height and style, changed by callers directly.
#pragma once

#include <cstdint>
#include <string>

namespace sx {

// Style bits; the same bits as the font style byte the settings store.
enum TSXFontStyle : std::uint8_t {
  fsBold = 1,
  fsItalic = 2,
  fsUnderline = 4,
  fsStrikeOut = 8,
};
using TSXFontStyles = std::uint8_t;  // a set of TSXFontStyle

struct TSXFont {
  // UTF-8 face name, matched exactly and case-sensitively by the glyph layer.
  std::string Name = "ＭＳ Ｐ明朝";
  // Negative: the character (em) height in pixels; positive: the cell height.
  std::int32_t Height = -16;
  TSXFontStyles Style = 0;
  std::uint8_t Charset = 128;  // Shift-JIS

  // Point size at 96 dots per inch; setting it makes Height the negative character height.
  std::int32_t Size() const;
  void SetSize(std::int32_t points);

  bool operator==(const TSXFont& other) const = default;
};

}  // namespace sx
