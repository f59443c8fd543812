// The font of the saver's texts and of the settings dialog's font label, taken from the
// stored face name (Font/Name) and record.dat by one rule for both.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace settings {

// Bits of the font style byte of record.dat; bits 4-7 are zero.
enum FontStyleBit : std::uint8_t {
  kFontBold = 1,
  kFontItalic = 2,
  kFontUnderline = 4,
  kFontStrikeOut = 8,
};
inline constexpr std::uint8_t kFontStyleBits = 0x0F;

// True when an installed screen font has exactly this face name (case-sensitive) and draws
// Japanese: platform::gdi::IsJapaneseScreenFont in the programs.
using FontInstalledTest = std::function<bool(const std::string& face)>;

struct SaverFont {
  std::string face;
  // record.dat's first byte (0 for an empty file); none when the file does not exist, in
  // which case the writers keep their built-in style.
  std::optional<std::uint8_t> style;
};

// The font `face` gives: that face when `usable` accepts it, with the style of record.dat
// at `styleFile` (only its style bits). None for a face `usable` refuses, or for every face
// when `usable` is null: a face that cannot draw Japanese would show boxes, so the texts keep
// the saver window's font, ＭＳ Ｐ明朝 bold, which the dialog's label then names, and
// record.dat is not read.
std::optional<SaverFont> UsableStoredFont(const std::string& face, const std::string& styleFile,
                                          const FontInstalledTest& usable);

}  // namespace settings
