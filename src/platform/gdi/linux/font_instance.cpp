#include "platform/gdi/linux/font_instance.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

#include FT_OUTLINE_H
#include FT_TRUETYPE_TABLES_H

#include "platform/log/log.h"

namespace platform::gdi {
namespace {

// Glyph bitmaps larger than this (only reachable through a magnifying matrix) are refused
// rather than allocated.
constexpr FT_Pos kMaxBitmapSide = 8192;

// Slant of synthetic italic: x grows by 0.2 y, about the 11 degrees of an oblique face.
constexpr FT_Fixed kItalicShear = 0x3333;

// Outlines only (the grey bitmaps come from outlines on Windows too, never from embedded
// bitmaps), hinted by the face's own instructions, which put the horizontal strokes of the
// IPA faces on whole pixels and round the advances to whole pixels.
constexpr FT_Int32 kLoadFlags = FT_LOAD_NO_BITMAP | FT_LOAD_TARGET_NORMAL;

// The ascent and descent of the line in font units: the Windows metrics of the OS/2 table
// (they bound every glyph, so nothing drawn on a line is cut), else the horizontal header.
struct LineMetrics {
  double ascent = 0;
  double descent = 0;
  double lineGap = 0;
};

LineMetrics LineMetricsOf(FT_Face face) {
  LineMetrics m;
  const double hheaAscent = face->ascender;
  const double hheaDescent = -face->descender;
  const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
  if (os2 && os2->version != 0xFFFF && os2->usWinAscent + os2->usWinDescent > 0) {
    m.ascent = os2->usWinAscent;
    m.descent = os2->usWinDescent;
  } else {
    m.ascent = hheaAscent;
    m.descent = hheaDescent;
  }
  if (m.ascent + m.descent <= 0) {
    m.ascent = face->units_per_EM;
    m.descent = 0;
  }
  // The part of the header's line gap that the Windows ascent and descent do not cover.
  const double hheaGap = std::max(0.0, face->height - (hheaAscent + hheaDescent));
  m.lineGap = std::max(0.0, hheaGap - (m.ascent + m.descent - (hheaAscent + hheaDescent)));
  return m;
}

double UnitsPerEm(FT_Face face) { return face->units_per_EM > 0 ? face->units_per_EM : 1000.0; }

// A negative height is the em itself; a positive one is the whole line, of which the em is
// the share unitsPerEm / (ascent + descent).
FT_F26Dot6 PixelsPerEm(const SharedFace& face, LONG height) {
  if (!face) return 64;
  double em = -static_cast<double>(height);
  if (height > 0) {
    const LineMetrics line = LineMetricsOf(face.get());
    em = height * UnitsPerEm(face.get()) / (line.ascent + line.descent);
  }
  return std::max<FT_F26Dot6>(1, std::lround(em)) * 64;
}

LONG RoundPixels(double value) { return static_cast<LONG>(std::lround(value)); }

SHORT PixelsOf26Dot6(FT_Pos value) {
  const FT_Pos pixels = (value + 32) >> 6;  // arithmetic shift rounds half up for negatives too
  return static_cast<SHORT>(std::clamp<FT_Pos>(pixels, std::numeric_limits<SHORT>::min(),
                                               std::numeric_limits<SHORT>::max()));
}

FT_Fixed FixedOf(FIXED f) { return static_cast<FT_Fixed>(f.value) * 65536 + f.fract; }

bool IsIdentity(const MAT2& m) {
  return FixedOf(m.eM11) == 0x10000 && FixedOf(m.eM12) == 0 && FixedOf(m.eM21) == 0 &&
         FixedOf(m.eM22) == 0x10000;
}

bool SameMatrix(const MAT2& a, const MAT2& b) {
  return FixedOf(a.eM11) == FixedOf(b.eM11) && FixedOf(a.eM12) == FixedOf(b.eM12) &&
         FixedOf(a.eM21) == FixedOf(b.eM21) && FixedOf(a.eM22) == FixedOf(b.eM22);
}

// FreeType's 256 grey levels onto the 65 of the grey bitmap, rounded, so 255 -> 64.
struct CoverageTable {
  std::uint8_t level[256];
  CoverageTable() {
    for (int v = 0; v < 256; ++v) level[v] = static_cast<std::uint8_t>((v * 64 + 127) / 255);
  }
};
const CoverageTable kCoverage;

}  // namespace

FontInstance::FontInstance(SharedFace face, const FaceChoice& choice, const FontRequest& request)
    : choice_(choice), pixelsPerEm_(PixelsPerEm(face, request.height)), size_(face, pixelsPerEm_) {
  if (!size_.ok()) {
    if (face) platform::Log("Font face \"" + choice_.family + "\" cannot be sized");
    return;
  }
  // Synthetic bold widens the stems by 1/24 of the em, rounded to whole pixels and at least
  // one, so it grows with the size as the rasteriser's synthetic bold on Windows does: one
  // pixel up to an em of 35 pixels, two from 36 to 59.
  if (choice_.syntheticBold) {
    boldStrength_ = std::max<FT_Pos>(1, (pixelsPerEm_ / 24 + 32) >> 6) * 64;
  }
  ComputeTextMetrics(request);
}

void FontInstance::ComputeTextMetrics(const FontRequest& request) {
  FT_Face face = size_.face();
  const LineMetrics line = LineMetricsOf(face);
  const double upem = UnitsPerEm(face);
  const double em = pixelsPerEm_ / 64.0;
  TEXTMETRICA& tm = textMetrics_;
  if (request.height > 0) {
    // The line is exactly the height asked for.
    tm.tmAscent = RoundPixels(request.height * line.ascent / (line.ascent + line.descent));
    tm.tmDescent = request.height - tm.tmAscent;
  } else {
    tm.tmAscent = RoundPixels(line.ascent * em / upem);
    tm.tmDescent = RoundPixels(line.descent * em / upem);
  }
  tm.tmHeight = tm.tmAscent + tm.tmDescent;
  tm.tmInternalLeading = std::max<LONG>(0, tm.tmHeight - RoundPixels(em));
  tm.tmExternalLeading = RoundPixels(line.lineGap * em / upem);
  const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
  const double average = os2 && os2->xAvgCharWidth > 0 ? os2->xAvgCharWidth : upem / 2;
  const LONG widening = PixelsOf26Dot6(boldStrength_);
  tm.tmAveCharWidth = RoundPixels(average * em / upem) + widening;
  tm.tmMaxCharWidth = RoundPixels(face->max_advance_width * em / upem) + widening;
  tm.tmWeight = request.weight == FW_DONTCARE ? FW_NORMAL : request.weight;
  tm.tmOverhang = 0;
  tm.tmDigitizedAspectX = 96;
  tm.tmDigitizedAspectY = 96;
  tm.tmFirstChar = 0x20;
  tm.tmLastChar = 0xFC;
  tm.tmDefaultChar = 0x1F;
  tm.tmBreakChar = 0x20;
  tm.tmItalic = request.italic ? 1 : 0;
  tm.tmUnderlined = request.underline ? 1 : 0;
  tm.tmStruckOut = request.strikeOut ? 1 : 0;
  // TMPF_FIXED_PITCH (set means variable pitch), TMPF_VECTOR, TMPF_TRUETYPE.
  tm.tmPitchAndFamily = static_cast<BYTE>((FT_IS_FIXED_WIDTH(face) ? 0 : 1) | 2 | 4);
  tm.tmCharSet = SHIFTJIS_CHARSET;
}

bool FontInstance::LoadStyled(char32_t character) {
  if (!size_.ok()) return false;
  size_.Activate();
  FT_Face face = size_.face();
  // A character the face lacks draws the face's missing-glyph box, as Windows does.
  const FT_UInt glyph = FT_Get_Char_Index(face, character);
  if (FT_Load_Glyph(face, glyph, kLoadFlags) != 0) return false;
  FT_GlyphSlot slot = face->glyph;
  if (slot->format != FT_GLYPH_FORMAT_OUTLINE) return false;
  if (boldStrength_ > 0) {
    // EmboldenXY widens the outline by the strength, half on each side; moving it right by
    // that half keeps the left edge, so the ink grows into the widened advance by whole
    // pixels and the stems stay on the pixel grid the hinting put them on.
    FT_Outline_EmboldenXY(&slot->outline, boldStrength_, 0);
    FT_Outline_Translate(&slot->outline, boldStrength_ / 2, 0);
    slot->advance.x += boldStrength_;
  }
  if (choice_.syntheticItalic) {
    FT_Matrix shear{0x10000, kItalicShear, 0, 0x10000};
    FT_Outline_Transform(&slot->outline, &shear);
  }
  return true;
}

SHORT FontInstance::Advance(char32_t character) {
  if (auto it = advances_.find(character); it != advances_.end()) return it->second;
  const SHORT advance = LoadStyled(character) ? PixelsOf26Dot6(size_.face()->glyph->advance.x) : 0;
  advances_.emplace(character, advance);
  return advance;
}

void FontInstance::Render(char32_t character, const MAT2& matrix, Rendered& out) {
  out.valid = true;
  out.character = character;
  out.matrix = matrix;
  out.failed = true;
  out.metrics = GLYPHMETRICS{};
  out.rows.clear();
  if (!LoadStyled(character)) return;
  FT_GlyphSlot slot = size_.face()->glyph;

  FT_Vector advance{slot->advance.x, 0};
  if (!IsIdentity(matrix)) {
    const FT_Matrix m{FixedOf(matrix.eM11), FixedOf(matrix.eM21), FixedOf(matrix.eM12),
                      FixedOf(matrix.eM22)};
    FT_Outline_Transform(&slot->outline, &m);
    FT_Vector_Transform(&advance, &m);
  }
  out.metrics.gmCellIncX = PixelsOf26Dot6(advance.x);
  out.metrics.gmCellIncY = PixelsOf26Dot6(advance.y);

  FT_BBox box;
  FT_Outline_Get_CBox(&slot->outline, &box);
  if (box.xMax - box.xMin > kMaxBitmapSide * 64 || box.yMax - box.yMin > kMaxBitmapSide * 64) {
    platform::Log("A glyph of more than " + std::to_string(kMaxBitmapSide) + " pixels is refused");
    out.metrics = GLYPHMETRICS{};
    return;
  }
  out.failed = false;
  if (slot->outline.n_points > 0 && FT_Render_Glyph(slot, FT_RENDER_MODE_NORMAL) == 0) {
    const FT_Bitmap& bitmap = slot->bitmap;
    if (bitmap.width > 0 && bitmap.rows > 0 && bitmap.pixel_mode == FT_PIXEL_MODE_GRAY) {
      const unsigned pitch = (bitmap.width + 3) & ~3u;
      out.rows.assign(static_cast<std::size_t>(pitch) * bitmap.rows, 0);
      for (unsigned y = 0; y < bitmap.rows; ++y) {
        const unsigned char* src = bitmap.buffer + static_cast<std::ptrdiff_t>(y) * bitmap.pitch;
        std::uint8_t* dst = out.rows.data() + static_cast<std::size_t>(y) * pitch;
        for (unsigned x = 0; x < bitmap.width; ++x) dst[x] = kCoverage.level[src[x]];
      }
      out.metrics.gmBlackBoxX = bitmap.width;
      out.metrics.gmBlackBoxY = bitmap.rows;
      out.metrics.gmptGlyphOrigin = POINT{slot->bitmap_left, slot->bitmap_top};
      return;
    }
  }
  // No ink (a space): Windows reports a 1 x 1 box at the pen and no bitmap.
  out.metrics.gmBlackBoxX = 1;
  out.metrics.gmBlackBoxY = 1;
  out.metrics.gmptGlyphOrigin = POINT{0, 0};
}

DWORD FontInstance::GrayGlyph(char32_t character, const MAT2& matrix, GLYPHMETRICS* metrics,
                              DWORD bufferSize, void* buffer) {
  if (!last_.valid || last_.character != character || !SameMatrix(last_.matrix, matrix)) {
    Render(character, matrix, last_);
  }
  if (last_.failed) {
    *metrics = GLYPHMETRICS{};
    return GDI_ERROR;
  }
  const auto size = static_cast<DWORD>(last_.rows.size());
  if (buffer != nullptr && bufferSize != 0 && size > 0) {
    if (bufferSize < size) {
      *metrics = GLYPHMETRICS{};
      return GDI_ERROR;
    }
    std::memcpy(buffer, last_.rows.data(), size);
  }
  *metrics = last_.metrics;
  return size;
}

}  // namespace platform::gdi
