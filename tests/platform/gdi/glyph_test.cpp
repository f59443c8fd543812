// Glyph bitmaps, metrics and extents as the text writers read them.
#include <cstring>
#include <limits>
#include <numeric>
#include <vector>

#include "platform/gdi/gdi_fixture.h"

namespace platform::gdi::testing {
namespace {

// The saver's window font: "ＭＳ Ｐ明朝", character height 21 pixels, bold.
const char* const kWindowFace = "ＭＳ Ｐ明朝";

using GlyphTest = GdiTest;

TEST_F(GlyphTest, BoldShiAt21PixelsLiesInsideItsAdvanceAndLineAndDiffersFromRegular) {
  HDC bold = ContextWith(kWindowFace, -21, FW_BOLD);
  HDC regular = ContextWith(kWindowFace, -21, FW_NORMAL);
  const Glyph b = GlyphOf(bold, kShi);
  const Glyph r = GlyphOf(regular, kShi);
  ASSERT_GT(b.result, 0u);
  ASSERT_NE(b.result, GDI_ERROR);
  ASSERT_GT(r.result, 0u);
  const TEXTMETRICA tm = MetricsOf(bold);

  for (const Glyph* g : {&b, &r}) {
    EXPECT_GE(g->metrics.gmptGlyphOrigin.x, 0);
    EXPECT_LE(g->metrics.gmptGlyphOrigin.x + static_cast<LONG>(g->metrics.gmBlackBoxX),
              g->metrics.gmCellIncX);
    const LONG top = tm.tmAscent - g->metrics.gmptGlyphOrigin.y;  // the writer's offsetY
    EXPECT_GE(top, 0);
    EXPECT_LE(top + static_cast<LONG>(g->metrics.gmBlackBoxY), tm.tmHeight);
    EXPECT_EQ(g->metrics.gmCellIncY, 0);
  }
  EXPECT_GE(b.metrics.gmCellIncX, r.metrics.gmCellIncX);
  EXPECT_GT(b.Ink(), r.Ink() * 11 / 10);
  EXPECT_NE(b.rows, r.rows);
}

TEST_F(GlyphTest, BitmapsAreSizedPaddedAndHoldSixtyFiveLevels) {
  HDC dc = ContextWith(kWindowFace, -21, FW_BOLD);
  const struct {
    UINT code;
    bool hasSolidStroke;  // straight strokes of at least a pixel cover some pixels fully
  } kGlyphs[] = {{kShi, true},    {kKan, true}, {kIchi, true}, {kA, false},
                 {kHalfA, false}, {'A', true},  {'g', false}};
  for (const auto& [code, hasSolidStroke] : kGlyphs) {
    SCOPED_TRACE(code);
    const MAT2 identity = IdentityMat2();
    GLYPHMETRICS metrics;
    const DWORD size =
        GetGlyphOutlineA(dc, code, GGO_GRAY8_BITMAP, &metrics, 0, nullptr, &identity);
    ASSERT_NE(size, GDI_ERROR);
    const UINT pitch = (metrics.gmBlackBoxX + 3) & ~3u;
    EXPECT_EQ(size, pitch * metrics.gmBlackBoxY);

    // Bytes past the reported size stay untouched; a buffer one byte short is refused.
    std::vector<std::uint8_t> buffer(size + 8, 0xCD);
    ASSERT_EQ(
        GetGlyphOutlineA(dc, code, GGO_GRAY8_BITMAP, &metrics, size + 8, buffer.data(), &identity),
        size);
    for (DWORD i = size; i < size + 8; ++i) EXPECT_EQ(buffer[i], 0xCD);
    GLYPHMETRICS refused;
    EXPECT_EQ(
        GetGlyphOutlineA(dc, code, GGO_GRAY8_BITMAP, &refused, size - 1, buffer.data(), &identity),
        GDI_ERROR);

    UINT full = 0;
    for (UINT y = 0; y < metrics.gmBlackBoxY; ++y) {
      for (UINT x = 0; x < pitch; ++x) {
        const std::uint8_t v = buffer[y * pitch + x];
        EXPECT_LE(v, 64);
        if (x >= metrics.gmBlackBoxX) {
          EXPECT_EQ(v, 0) << "padding";
        }
        if (v == 64) ++full;
      }
    }
    if (hasSolidStroke) {
      EXPECT_GT(full, 0u);
    }
  }
}

TEST_F(GlyphTest, TheStrokeOfIchiIsSolidAcrossItsWidth) {
  HDC dc = ContextWith(kWindowFace, -21, FW_BOLD);
  const Glyph g = GlyphOf(dc, kIchi);
  ASSERT_GT(g.result, 0u);
  // Some row of the horizontal bar is full coverage over most of the bar's length.
  UINT best = 0;
  for (UINT y = 0; y < g.metrics.gmBlackBoxY; ++y) {
    UINT run = 0;
    for (UINT x = 0; x < g.metrics.gmBlackBoxX; ++x) {
      run = g.At(x, y) == 64 ? run + 1 : 0;
      best = std::max(best, run);
    }
  }
  EXPECT_GE(best, g.metrics.gmBlackBoxX * 3 / 4);
}

TEST_F(GlyphTest, CharactersWithoutInkReportAOnePixelBoxAndAnAdvance) {
  HDC dc = ContextWith(kWindowFace, -21);
  for (UINT code : {UINT{' '}, kIdeographicSpace}) {
    SCOPED_TRACE(code);
    const MAT2 identity = IdentityMat2();
    GLYPHMETRICS metrics;
    EXPECT_EQ(GetGlyphOutlineA(dc, code, GGO_GRAY8_BITMAP, &metrics, 0, nullptr, &identity), 0u);
    EXPECT_EQ(metrics.gmBlackBoxX, 1u);
    EXPECT_EQ(metrics.gmBlackBoxY, 1u);
    EXPECT_GT(metrics.gmCellIncX, 0);
    std::uint8_t byte = 0xCD;
    EXPECT_EQ(GetGlyphOutlineA(dc, code, GGO_GRAY8_BITMAP, &metrics, 1, &byte, &identity), 0u);
    EXPECT_EQ(byte, 0xCD);
  }
}

TEST_F(GlyphTest, SingleByteCharactersAreNarrowerThanKanji) {
  HDC dc = ContextWith(kWindowFace, -21);
  const Glyph kanji = GlyphOf(dc, kShi);
  for (UINT code : {UINT{'A'}, kHalfA}) {
    SCOPED_TRACE(code);
    const Glyph g = GlyphOf(dc, code);
    ASSERT_GT(g.result, 0u);
    ASSERT_NE(g.result, GDI_ERROR);
    EXPECT_GT(g.metrics.gmCellIncX, 0);
    EXPECT_LT(g.metrics.gmCellIncX, kanji.metrics.gmCellIncX);
  }
}

TEST_F(GlyphTest, CodesThatAreNoCharacterFailWithZeroedMetrics) {
  HDC dc = ContextWith(kWindowFace, -21);
  const MAT2 identity = IdentityMat2();
  for (UINT code : {0x81u, 0x9Fu, 0xE0u, 0xFFu, 0x4141u, 0x8120u, 0x10000u}) {
    SCOPED_TRACE(code);
    GLYPHMETRICS metrics;
    metrics.gmCellIncX = 99;
    EXPECT_EQ(GetGlyphOutlineA(dc, code, GGO_GRAY8_BITMAP, &metrics, 0, nullptr, &identity),
              GDI_ERROR);
    EXPECT_EQ(metrics.gmCellIncX, 0);
    EXPECT_EQ(metrics.gmBlackBoxX, 0u);
  }
  GLYPHMETRICS metrics;
  EXPECT_EQ(GetGlyphOutlineA(dc, kShi, 1 /* GGO_BITMAP */, &metrics, 0, nullptr, &identity),
            GDI_ERROR);
  EXPECT_EQ(GetGlyphOutlineA(dc, kShi, GGO_GRAY8_BITMAP, &metrics, 0, nullptr, nullptr), GDI_ERROR);
}

TEST_F(GlyphTest, TextExtentIsTheSumOfTheAdvancesAndTheLineHeight) {
  HDC dc = ContextWith(kWindowFace, -19, FW_BOLD);
  const struct {
    const char* name;
    std::string text;
    std::vector<UINT> codes;
  } kTexts[] = {
      {"idiom and latin",
       "\x8E\x6C\x8E\x9A\x8F\x6E\x8C\xEA Ag\xB1",
       {kShi, 0x8E9A, 0x8F6E, 0x8CEA, ' ', 'A', 'g', kHalfA}},
      {"trailing lead byte adds nothing", "A\x81", {'A'}},
      {"empty", "", {}},
  };
  const TEXTMETRICA tm = MetricsOf(dc);
  for (const auto& t : kTexts) {
    SCOPED_TRACE(t.name);
    LONG sum = 0;
    for (UINT code : t.codes) sum += GlyphOf(dc, code).metrics.gmCellIncX;
    SIZE extent;
    ASSERT_EQ(GetTextExtentPoint32A(dc, t.text.data(), static_cast<int>(t.text.size()), &extent),
              1);
    EXPECT_EQ(extent.cx, sum);
    EXPECT_EQ(extent.cy, tm.tmHeight);
  }
  SIZE extent;
  EXPECT_EQ(GetTextExtentPoint32A(dc, nullptr, 3, &extent), 0);
  EXPECT_EQ(GetTextExtentPoint32A(dc, "A", -1, &extent), 0);
}

TEST_F(GlyphTest, LineHeightFollowsTheSignOfTheRequestedHeight) {
  const struct {
    LONG height;
    LONG em;  // the character height the glyphs are made at
  } kHeights[] = {{-21, 21}, {-19, 19}, {-37, 37}, {-12, 12}, {23, 0}, {40, 0}};
  for (const auto& h : kHeights) {
    SCOPED_TRACE(h.height);
    HDC dc = ContextWith(kWindowFace, h.height);
    const TEXTMETRICA tm = MetricsOf(dc);
    EXPECT_EQ(tm.tmHeight, tm.tmAscent + tm.tmDescent);
    if (h.height > 0) {
      EXPECT_EQ(tm.tmHeight, h.height);
    } else {
      EXPECT_EQ(tm.tmHeight - tm.tmInternalLeading, h.em);
      EXPECT_GE(tm.tmHeight, h.em);
      EXPECT_EQ(GlyphOf(dc, kShi).metrics.gmCellIncX, h.em);  // a kanji is one em wide
    }
  }
}

TEST_F(GlyphTest, ItalicSlantsTheGlyphWhileUnderlineAndStrikeOutLeaveItAlone) {
  HDC plain = ContextWith(kWindowFace, -21);
  HDC italic = ContextWith(kWindowFace, -21, FW_NORMAL, 1);
  HDC lined = ContextWith(kWindowFace, -21, FW_NORMAL, 0, 1, 1);
  const Glyph p = GlyphOf(plain, kIchi);
  const Glyph i = GlyphOf(italic, kShi);
  const Glyph l = GlyphOf(lined, kIchi);
  EXPECT_NE(i.rows, GlyphOf(plain, kShi).rows);
  EXPECT_EQ(i.metrics.gmCellIncX, p.metrics.gmCellIncX);
  EXPECT_EQ(l.rows, p.rows);
  EXPECT_EQ(std::memcmp(&l.metrics, &p.metrics, sizeof p.metrics), 0);
  EXPECT_EQ(MetricsOf(italic).tmItalic, 1);
  EXPECT_EQ(MetricsOf(lined).tmUnderlined, 1);
  EXPECT_EQ(MetricsOf(lined).tmStruckOut, 1);
  EXPECT_EQ(MetricsOf(plain).tmUnderlined, 0);
}

TEST_F(GlyphTest, AMatrixTransformsTheBitmapAndTheAdvance) {
  HDC dc = ContextWith(kWindowFace, -21);
  const Glyph plain = GlyphOf(dc, kShi);
  const MAT2 twice{{0, 2}, {0, 0}, {0, 0}, {0, 2}};
  GLYPHMETRICS metrics;
  const DWORD size = GetGlyphOutlineA(dc, kShi, GGO_GRAY8_BITMAP, &metrics, 0, nullptr, &twice);
  ASSERT_NE(size, GDI_ERROR);
  EXPECT_NEAR(metrics.gmCellIncX, 2 * plain.metrics.gmCellIncX, 1);
  EXPECT_NEAR(metrics.gmBlackBoxX, 2 * plain.metrics.gmBlackBoxX, 2);
  // The identity matrix afterwards gives the first bitmap again.
  EXPECT_EQ(GlyphOf(dc, kShi).rows, plain.rows);
}

}  // namespace
}  // namespace platform::gdi::testing
