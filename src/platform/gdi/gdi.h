// The glyph side of the Windows graphics interface, as the text writers use it: fonts made
// from a LOGFONTA, a memory device context that a font is selected into, the 65-level grey
// glyph bitmaps of GetGlyphOutlineA, the text metrics and the extent of a Shift-JIS string;
// plus the list of installed screen fonts that the settings check a face name against.
//
// The names are Windows' own. Each system's backend folder has an include/ folder with the
// platform/gdi/gdi_api.h that this file includes: on Windows it brings the system's
// functions, types and constants, on Linux our own of the same names, layouts and results.
// Types and functions are reachable as platform::gdi::NAME on both; the constants
// (GGO_GRAY8_BITMAP, GDI_ERROR, FW_BOLD, SHIFTJIS_CHARSET ...) are macros on Windows, so
// shared code names them unqualified, and the Linux backend declares them globally too.
//
// A text writer's use, for "四" in the saver's window font:
//   UniqueDC dc(CreateCompatibleDC(nullptr));
//   LOGFONTA description{};
//   SetFaceName(description, "ＭＳ Ｐ明朝");
//   description.lfHeight = -21;  // or -CharacterHeightFromPoints(14)
//   description.lfWeight = FW_BOLD;
//   description.lfCharSet = SHIFTJIS_CHARSET;
//   UniqueFont font(CreateFontIndirectA(&description));
//   SelectObject(dc.get(), font.get());
//   const MAT2 identity = IdentityMat2();
//   GLYPHMETRICS metrics{};
//   DWORD size = GetGlyphOutlineA(dc.get(), 0x8E6C, GGO_GRAY8_BITMAP, &metrics, 0, nullptr,
//                                 &identity);
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "platform/gdi/gdi_api.h"

namespace platform::gdi {

// Sets the face name from UTF-8. On Linux any name fits. On Windows the name is converted to
// the system's code page and cut, on a character boundary, to the 31 bytes a LOGFONTA holds;
// false when it was cut or held characters the code page lacks (the font then asks for the
// name as it came out).
bool SetFaceName(LOGFONTA& description, std::string_view utf8);

inline MAT2 IdentityMat2() {
  MAT2 matrix{};
  matrix.eM11.value = 1;
  matrix.eM22.value = 1;
  return matrix;
}

// Character height in pixels of a font of `points` points at 96 dots per inch, rounded
// half away from zero as Windows' MulDiv does (14 -> 19, 28 -> 37); a font of that size
// has lfHeight = -CharacterHeightFromPoints(points).
LONG CharacterHeightFromPoints(LONG points);

// The face names of the installed screen fonts, sorted, without repeats, in UTF-8. On Linux:
// every family name of every installed scalable font, and each Windows face name whose alias
// resolves to an installed face. On Windows: the families the system enumerates, the
// substitutes it has been given included.
std::vector<std::string> InstalledScreenFonts();
// Exact, case-sensitive comparison with the list above.
bool IsInstalledScreenFont(std::string_view faceName);
// An installed screen font of exactly this name that draws Japanese (on Linux its regular
// face has a kanji and a hiragana; on Windows it offers the Shift-JIS character set): the
// only kind of stored face the saver's texts and the settings dialog's font label take.
bool IsJapaneseScreenFont(std::string_view faceName);

// Linux: the alias file that maps the Windows face names, by default fonts.conf of the data
// folder; setting it drops the cached lookups, so later fonts resolve with the new file.
// Windows: the system's own font substitutes apply, and this does nothing.
void SetFontAliasFile(std::string path);

struct DCDeleter {
  void operator()(HDC dc) const { DeleteDC(dc); }
};
struct FontDeleter {
  void operator()(HFONT font) const { DeleteObject(font); }
};
using UniqueDC = std::unique_ptr<std::remove_pointer_t<HDC>, DCDeleter>;
using UniqueFont = std::unique_ptr<std::remove_pointer_t<HFONT>, FontDeleter>;

}  // namespace platform::gdi
