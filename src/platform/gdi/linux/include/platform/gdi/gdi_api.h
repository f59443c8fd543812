// The Linux backend of the glyph layer: Windows' glyph names, constants and structure
// layouts, on FreeType and fontconfig. The contract (platform/gdi/gdi.h) includes this file;
// nothing else does.
//
// One difference from Windows: a face name is a UTF-8 std::string of any length instead of
// 32 ANSI characters (shared code sets it through SetFaceName).
//
// Face names are matched exactly and case-sensitively against every family name of every
// installed scalable font ("IPAPMincho" and "IPA P明朝" name the same face). The eight
// Windows face names of the saver ("ＭＳ Ｐ明朝", "MS PMincho", ...) resolve through the
// font alias file in the data folder. A name that resolves to no face with Japanese
// characters is logged (platform/log/log.h) and replaced by "IPA P明朝", never by a Latin face.
//
// Bold without a bold face is synthesised by emboldening the outline (the advance grows
// with it), italic without an italic face by slanting it; underline and strike-out only
// show in the text metrics.
//
// Handles are checked: a deleted or unknown handle makes a call fail as in Windows instead
// of touching freed memory. A font stays usable by the device contexts it is selected into
// after DeleteObject. All calls are serialised by one lock.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform::gdi {

using BYTE = std::uint8_t;
using WORD = std::uint16_t;
using DWORD = std::uint32_t;
using LONG = std::int32_t;
using UINT = unsigned int;
using BOOL = int;
using SHORT = std::int16_t;

// BOOL results are 1 for success and 0 for failure (no TRUE/FALSE names: other headers
// define them as macros).

inline constexpr DWORD GDI_ERROR = 0xFFFFFFFF;

// Formats of GetGlyphOutlineA; only the 65-level grey bitmap is provided.
inline constexpr UINT GGO_GRAY8_BITMAP = 6;

inline constexpr LONG FW_DONTCARE = 0;
inline constexpr LONG FW_NORMAL = 400;
inline constexpr LONG FW_SEMIBOLD = 600;
inline constexpr LONG FW_BOLD = 700;

inline constexpr BYTE DEFAULT_CHARSET = 1;
inline constexpr BYTE SHIFTJIS_CHARSET = 128;

struct POINT {
  LONG x = 0;
  LONG y = 0;
};

struct SIZE {
  LONG cx = 0;
  LONG cy = 0;
};

// 16.16 fixed point: value + fract / 65536.
struct FIXED {
  WORD fract = 0;
  SHORT value = 0;
};

// Row vectors multiplied from the left: x' = x eM11 + y eM21, y' = x eM12 + y eM22.
struct MAT2 {
  FIXED eM11;
  FIXED eM12;
  FIXED eM21;
  FIXED eM22;
};

struct GLYPHMETRICS {
  UINT gmBlackBoxX = 0;   // bitmap width in pixels
  UINT gmBlackBoxY = 0;   // bitmap height in pixels
  POINT gmptGlyphOrigin;  // bitmap's top-left from the pen; y counts up from the baseline
  SHORT gmCellIncX = 0;   // pen advance
  SHORT gmCellIncY = 0;
};

struct TEXTMETRICA {
  LONG tmHeight = 0;  // tmAscent + tmDescent
  LONG tmAscent = 0;
  LONG tmDescent = 0;
  LONG tmInternalLeading = 0;  // tmHeight minus the character (em) height
  LONG tmExternalLeading = 0;
  LONG tmAveCharWidth = 0;
  LONG tmMaxCharWidth = 0;
  LONG tmWeight = 0;
  LONG tmOverhang = 0;
  LONG tmDigitizedAspectX = 0;
  LONG tmDigitizedAspectY = 0;
  BYTE tmFirstChar = 0;
  BYTE tmLastChar = 0;
  BYTE tmDefaultChar = 0;
  BYTE tmBreakChar = 0;
  BYTE tmItalic = 0;
  BYTE tmUnderlined = 0;
  BYTE tmStruckOut = 0;
  BYTE tmPitchAndFamily = 0;
  BYTE tmCharSet = 0;
};

// lfHeight < 0: the character (em) height is -lfHeight pixels, as a font "of character
// height 21 pixels" or of a point size asks; lfHeight > 0: the cell height (tmHeight);
// 0: kDefaultCharacterHeight. Heights beyond kMaxFontHeight are clamped (and logged).
// lfWeight >= FW_SEMIBOLD asks for bold. lfWidth, escapement, orientation, precision,
// quality and pitch are kept but do not change the glyphs.
struct LOGFONTA {
  LONG lfHeight = 0;
  LONG lfWidth = 0;
  LONG lfEscapement = 0;
  LONG lfOrientation = 0;
  LONG lfWeight = FW_NORMAL;
  BYTE lfItalic = 0;
  BYTE lfUnderline = 0;
  BYTE lfStrikeOut = 0;
  BYTE lfCharSet = SHIFTJIS_CHARSET;
  BYTE lfOutPrecision = 0;
  BYTE lfClipPrecision = 0;
  BYTE lfQuality = 0;
  BYTE lfPitchAndFamily = 0;
  std::string lfFaceName;  // UTF-8; empty means the default face
};

inline constexpr LONG kDefaultCharacterHeight = 16;
inline constexpr LONG kMaxFontHeight = 1024;

// The face used for an empty face name and in place of a face without Japanese characters.
inline constexpr std::string_view kFallbackFaceName = "IPA P明朝";

struct GdiDC;
struct GdiFont;
using HDC = GdiDC*;
using HFONT = GdiFont*;

// A memory device context; `like` is ignored (there is one kind of context). A new context
// has the stock font selected: the fallback face at kDefaultCharacterHeight.
HDC CreateCompatibleDC(HDC like);
BOOL DeleteDC(HDC dc);

HFONT CreateFontIndirectA(const LOGFONTA* description);
// Returns the font that was selected before (the stock font at first), or nullptr when the
// context or the font is not a live handle (then nothing changes).
HFONT SelectObject(HDC dc, HFONT font);
// The stock font is never deleted; deleting it succeeds and does nothing.
BOOL DeleteObject(HFONT font);

// `code` is a Shift-JIS character: one byte, or lead byte x 256 + trail byte. With a null
// buffer or a zero size it returns the bitmap's size; with a buffer of at least that size
// it writes gmBlackBoxY rows of gmBlackBoxX coverage bytes (0..64), each row padded with
// zeros to a multiple of 4 bytes, and returns the size. A character without an outline
// (a space) returns 0 with a 1 x 1 black box and its advance. GDI_ERROR (with zeroed
// metrics) for a code that is no CP932 character (a lead byte alone), another format, a
// buffer that is too small, a null metrics or matrix pointer, or a dead handle.
DWORD GetGlyphOutlineA(HDC dc, UINT code, UINT format, GLYPHMETRICS* metrics, DWORD bufferSize,
                       void* buffer, const MAT2* matrix);

BOOL GetTextMetricsA(HDC dc, TEXTMETRICA* metrics);

// Width: the sum of the gmCellIncX of the characters of the Shift-JIS string (a trailing
// lead byte is a character of its own; a code that is no character adds 0). Height:
// tmHeight.
BOOL GetTextExtentPoint32A(HDC dc, const char* text, int length, SIZE* size);

// What a font handle was resolved to.
struct FontFaceInfo {
  std::string family;  // the installed family name that was used
  std::string file;
  int index = 0;
  bool syntheticBold = false;
  bool syntheticItalic = false;
  bool coversJapanese = false;
};
std::optional<FontFaceInfo> GetFontFaceInfo(HFONT font);

}  // namespace platform::gdi

// Windows' constants are macros of global scope, so shared code names them unqualified; so
// do they here.
using platform::gdi::DEFAULT_CHARSET;
using platform::gdi::FW_BOLD;
using platform::gdi::FW_DONTCARE;
using platform::gdi::FW_NORMAL;
using platform::gdi::FW_SEMIBOLD;
using platform::gdi::GDI_ERROR;
using platform::gdi::GGO_GRAY8_BITMAP;
using platform::gdi::SHIFTJIS_CHARSET;
