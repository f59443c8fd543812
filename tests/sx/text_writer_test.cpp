#include "sx/text_writer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/fs/fs.h"
#include "platform/text/text.h"
#include "support/log_text.h"
#include "sx/scene.h"
#include "sx/sjis_walk.h"
#include "sx/text_writer_fixture.h"

namespace sx {
namespace {

// A 32-character meaning line of kanji.
const char kMeaning[] = "一挙両得千載一遇以心伝心温故知新起承転結日進月歩自業自得大器晩成";

TEST(ShiftJisWalkTest, LeadBytesPairUpExceptAtTheEnd) {
  struct Case {
    std::string bytes;
    std::vector<std::uint32_t> codes;
  };
  const Case cases[] = {
      {"A", {0x41}},
      {"\x8E\x6C", {0x8E6C}},                // 四
      {"\xB1\xDF\xA0", {0xB1, 0xDF, 0xA0}},  // half-width katakana are one byte each
      {"A\x82", {0x41, 0x82}},               // a trailing lead byte stands alone
      {"\xE0\x40\x9F", {0xE040, 0x9F}},
      {"\x80\x81\x41\xFF", {0x80, 0x8141, 0xFF}},
      {std::string("\xFC\x00", 2), {0xFC00}},  // the pair takes any trail byte
  };
  for (const Case& c : cases) {
    std::vector<std::uint32_t> codes;
    for (std::size_t pos = 0; pos < c.bytes.size();)
      codes.push_back(NextShiftJisCode(c.bytes, pos));
    EXPECT_EQ(codes, c.codes) << ::testing::PrintToString(c.bytes);
  }
}

TEST_F(TextWriterTest, FourAt21PixelsBoldLiesInsideItsCellAndDiffersFromRegular) {
  const std::uint32_t code = CodeOf("四");
  const std::int32_t lineHeight = writer_->TextHeight(Ansi("四"));
  TSXGlyph bold = writer_->Cache().GetGlyph(code, writer_->Font());
  EXPECT_GT(bold.width, 0);
  EXPECT_GT(bold.height, 0);
  EXPECT_EQ(bold.pitch, bold.width * 4);
  ASSERT_EQ(bold.pixels.size(), static_cast<std::size_t>(bold.pitch * bold.height));
  EXPECT_TRUE(HasInk(bold));
  EXPECT_GE(bold.originX, 0);
  EXPECT_LE(bold.originX + bold.width, bold.advanceX);
  EXPECT_GE(bold.offsetY, 0);
  EXPECT_LE(bold.offsetY + bold.height, lineHeight);
  EXPECT_EQ(writer_->TextWidth(Ansi("四")), bold.advanceX);
  // White everywhere; only the alpha carries the coverage.
  for (int y = 0; y < bold.height; ++y) {
    for (int x = 0; x < bold.width; ++x) EXPECT_EQ(GlyphPixel(bold, x, y) & 0xFFFFFF, 0xFFFFFFu);
  }

  TSXFont regularFont = CellFont();
  regularFont.Style = 0;
  const TSXGlyph& regular = writer_->Cache().GetGlyph(code, regularFont);
  EXPECT_TRUE(HasInk(regular));
  EXPECT_TRUE(regular.width != bold.width || regular.pixels != bold.pixels);
  std::uint64_t boldInk = 0, regularInk = 0;
  for (int y = 0; y < bold.height; ++y)
    for (int x = 0; x < bold.width; ++x) boldInk += GlyphPixel(bold, x, y) >> 24;
  for (int y = 0; y < regular.height; ++y)
    for (int x = 0; x < regular.width; ++x) regularInk += GlyphPixel(regular, x, y) >> 24;
  EXPECT_GT(boldInk, regularInk);
}

TEST_F(TextWriterTest, MeaningLineAt19PixelsIsAsWideAsItsExtent) {
  writer_->Font().SetSize(14);
  writer_->Font().Style = 0;
  EXPECT_EQ(writer_->Font().Height, -19);
  const std::string line = Ansi(kMeaning);
  ASSERT_EQ(line.size(), 64u);
  const std::int32_t extent = writer_->TextWidth(line);
  std::int32_t advances = 0;
  std::int32_t lastAdvance = 0;
  for (std::size_t pos = 0; pos < line.size();) {
    lastAdvance = writer_->Cache().GetGlyph(NextShiftJisCode(line, pos), writer_->Font()).advanceX;
    advances += lastAdvance;
  }
  EXPECT_EQ(extent, advances);
  EXPECT_GE(extent, 32 * 15);

  std::unique_ptr<dg::TDGTexture> texture =
      writer_->CreateTextTexture(line, dg::DGAlphaFormats, "");
  ASSERT_NE(texture->Texture(), nullptr);
  EXPECT_EQ(texture->Width(), static_cast<std::uint32_t>(extent));
  EXPECT_EQ(texture->Height(), static_cast<std::uint32_t>(writer_->TextHeight(line)));
  // The last character is drawn, and within the extent.
  const std::vector<std::uint32_t> pixels = ReadTexture(*texture);
  int rightmost = -1;
  for (std::size_t i = 0; i < pixels.size(); ++i) {
    if ((pixels[i] >> 24) != 0)
      rightmost = std::max(rightmost, static_cast<int>(i % texture->TextureWidth()));
  }
  EXPECT_GE(rightmost, extent - lastAdvance);
  EXPECT_LT(rightmost, extent);
}

TEST_F(TextWriterTest, HalfWidthKatakanaAndTrailingLeadBytesAreOneByteCharacters) {
  dg::TDGTexture* texture = MakeTexture(200, 30, 0);
  writer_->DrawText(0, 0, *texture, Ansi("ｱ") + "\x82");
  const TSXGlyph* katakana = writer_->Cache().Find(0xB1, writer_->Font());
  ASSERT_NE(katakana, nullptr);
  EXPECT_TRUE(HasInk(*katakana));
  const TSXGlyph* full = &writer_->Cache().GetGlyph(CodeOf("ア"), writer_->Font());
  EXPECT_LT(katakana->advanceX, full->advanceX);
  katakana = writer_->Cache().Find(0xB1, writer_->Font());
  const TSXGlyph* lone = writer_->Cache().Find(0x82, writer_->Font());
  ASSERT_NE(lone, nullptr);  // looked up as a character of its own; it has no picture
  EXPECT_TRUE(lone->pixels.empty());
}

TEST_F(TextWriterTest, FullBucketEvictsItsLeastRecentlyUsedGlyph) {
  TSXFontCache& cache = writer_->Cache();
  const TSXFont& font = writer_->Font();
  // Seventeen kanji whose codes end in 0x40: all fall into bucket 0x40.
  std::vector<std::uint32_t> codes;
  for (std::uint32_t lead = 0x89; lead < 0x89 + 17; ++lead) codes.push_back(lead << 8 | 0x40);
  for (int i = 0; i < 16; ++i) cache.GetGlyph(codes[i], font);
  EXPECT_EQ(cache.UsedCount(0x40), 16);
  EXPECT_EQ(cache.Slot(0x40, 0).code, codes[15]);
  EXPECT_EQ(cache.Slot(0x40, 15).code, codes[0]);
  const std::uint64_t made = cache.RasterisedCount();

  // A hit moves to the front and rasterises nothing.
  cache.GetGlyph(codes[0], font);
  EXPECT_EQ(cache.RasterisedCount(), made);
  EXPECT_EQ(cache.Slot(0x40, 0).code, codes[0]);
  EXPECT_EQ(cache.Slot(0x40, 1).code, codes[15]);
  EXPECT_EQ(cache.Slot(0x40, 15).code, codes[1]);

  // The 17th evicts codes[1], now the least recently used.
  const TSXGlyph& added = cache.GetGlyph(codes[16], font);
  EXPECT_EQ(added.code, codes[16]);
  EXPECT_TRUE(HasInk(added));
  EXPECT_EQ(cache.RasterisedCount(), made + 1);
  EXPECT_EQ(cache.UsedCount(0x40), 16);
  EXPECT_EQ(cache.Find(codes[1], font), nullptr);
  for (int i : {0, 2, 15, 16}) EXPECT_NE(cache.Find(codes[i], font), nullptr) << i;
  cache.GetGlyph(codes[1], font);
  EXPECT_EQ(cache.RasterisedCount(), made + 2);
}

TEST_F(TextWriterTest, AnotherHeightOrStyleIsAnotherEntry) {
  TSXFontCache& cache = writer_->Cache();
  const std::uint32_t code = CodeOf("四");
  TSXFont smaller = CellFont();
  smaller.Height = -19;
  TSXFont italic = CellFont();
  italic.Style = fsBold | fsItalic;
  TSXFont otherFace = CellFont();
  otherFace.Name = "ＭＳ Ｐゴシック";
  const TSXFont fonts[] = {CellFont(), smaller, italic, otherFace};
  for (const TSXFont& font : fonts) cache.GetGlyph(code, font);
  EXPECT_EQ(cache.RasterisedCount(), 4u);
  EXPECT_EQ(cache.UsedCount(code & 0xFF), 4);
  for (const TSXFont& font : fonts) EXPECT_EQ(cache.GetGlyph(code, font).fontHeight, font.Height);
  EXPECT_EQ(cache.RasterisedCount(), 4u);
  EXPECT_NE(cache.Find(code, smaller)->height, cache.Find(code, CellFont())->height);
}

TEST_F(TextWriterTest, ClippedGlyphsWriteOnlyInsideTheirBoxWithinTheSurface) {
  const std::string four = Ansi("四");
  const TSXGlyph glyph = writer_->Cache().GetGlyph(CodeOf("四"), writer_->Font());
  constexpr std::uint32_t kSentinel = 0x12345678;
  struct Position {
    int x, y;
  };
  // Past the right edge, past the bottom, above and left, in the corner, far left.
  const Position positions[] = {{20, 4}, {4, 18}, {-6, -7}, {25, 25}, {-15, 3}, {-40, 0}};
  for (const Position& at : positions) {
    SCOPED_TRACE(::testing::Message() << at.x << "," << at.y);
    textures_.clear();
    dg::TDGTexture* texture = MakeTexture(30, 30, kSentinel);
    writer_->DrawText(at.x, at.y, *texture, four);
    const std::vector<std::uint32_t> pixels = ReadTexture(*texture);
    ASSERT_EQ(pixels.size(), 900u);
    for (int y = 0; y < 30; ++y) {
      for (int x = 0; x < 30; ++x) {
        const int gx = x - (at.x + glyph.originX);
        const int gy = y - (at.y + glyph.offsetY);
        const bool inBox = gx >= 0 && gx < glyph.width && gy >= 0 && gy < glyph.height;
        const std::uint32_t expected = inBox ? GlyphPixel(glyph, gx, gy) : kSentinel;
        ASSERT_EQ(pixels[y * 30 + x], expected) << x << "," << y;
      }
    }
  }
}

TEST_F(TextWriterTest, StopsAtTheCharacterThatReachesTheTextureWidth) {
  const std::string text = Ansi("一二三四");
  const std::int32_t advance = writer_->Cache().GetGlyph(CodeOf("一"), writer_->Font()).advanceX;
  ASSERT_GT(advance, 0);
  dg::TDGTexture* texture = MakeTexture(static_cast<std::uint32_t>(2 * advance), 30, 0);
  writer_->DrawText(0, 0, *texture, text);
  EXPECT_NE(writer_->Cache().Find(CodeOf("二"), writer_->Font()), nullptr);
  EXPECT_EQ(writer_->Cache().Find(CodeOf("三"), writer_->Font()), nullptr);

  // At or past the width or height nothing is looked up at all.
  writer_->DrawText(2 * advance, 0, *texture, Ansi("三"));
  writer_->DrawText(0, 30, *texture, Ansi("三"));
  EXPECT_EQ(writer_->Cache().Find(CodeOf("三"), writer_->Font()), nullptr);
}

TEST_F(TextWriterTest, EmptyTextGivesAZeroSizedTextureWithoutDrawing) {
  std::unique_ptr<dg::TDGTexture> texture = writer_->CreateTextTexture("", dg::DGAlphaFormats, "");
  EXPECT_EQ(texture->Width(), 0u);
  EXPECT_EQ(texture->Height(), 0u);
  EXPECT_EQ(writer_->Cache().RasterisedCount(), 0u);
  EXPECT_EQ(writer_->TextWidth(""), 0);
}

TEST_F(TextWriterTest, DrawingIntoATextureWithoutItsDirect3DTextureIsReported) {
  dg::TDGTexture* texture = MakeTexture(8, 8);
  texture->DeviceRelease();
  dg::LogLineCount = 0;  // the next line starts the log anew
  writer_->DrawText(0, 0, *texture, "一");
  EXPECT_NE(testing_support::LogText(dg::DebugLogPath())
                .find("テクスチャが確保されていません。LockRectの前にSetSizeするか、"
                      "BMPを読み込んでください(Error Code = UNKNOWN ERROR"),
            std::string::npos);
}

TEST_F(TextWriterTest, BlackTextOnWhiteIsDarkExactlyWhereTheCoverageIsHigh) {
  std::unique_ptr<dg::TDGTexture> texture =
      writer_->CreateTextTexture(Ansi("四"), dg::DGAlphaFormats, "");
  ASSERT_NE(texture->Texture(), nullptr);
  const std::vector<std::uint32_t> texels = ReadTexture(*texture);
  const int width = static_cast<int>(texture->Width());
  const int height = static_cast<int>(texture->Height());

  TSXScene scene(*carad_, "");
  const float u = texture->ScaleU(), v = texture->ScaleV();
  const float w = static_cast<float>(width), h = static_cast<float>(height);
  const TSXVertex quad[4] = {MakeVertex(0, 0, 0xFF000000, 0, 0), MakeVertex(w, 0, 0xFF000000, u, 0),
                             MakeVertex(0, h, 0xFF000000, 0, v),
                             MakeVertex(w, h, 0xFF000000, u, v)};
  constexpr int kLeft = 100, kTop = 50;
  scene.Clear(D3DCLEAR_TARGET, 0xFFFFFFFF, 1.0f, 0);
  scene.AddQuad({kLeft, kTop}, quad, texture.get(), sxbmAlphaBlend, TSXFilter::Point,
                TSXLayer::Overlay, 0);
  Device()->BeginScene();
  scene.Render();
  Device()->EndScene();
  const std::vector<std::uint32_t> frame = PresentAndRead();

  int dark = 0;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const int alpha = static_cast<int>(texels[y * texture->TextureWidth() + x] >> 24);
      const std::uint32_t pixel = frame[(kTop + y) * 640 + kLeft + x];
      const int red = static_cast<int>((pixel >> 16) & 0xFF);
      EXPECT_NEAR(red, 255 - alpha, 2) << x << "," << y;
      EXPECT_EQ(red, static_cast<int>(pixel & 0xFF));
      if (alpha >= 160) {
        EXPECT_LT(red, 100) << x << "," << y;
        ++dark;
      }
      if (alpha <= 96) {
        EXPECT_GT(red, 155) << x << "," << y;
      }
    }
  }
  EXPECT_GT(dark, 20);
  // Around the texture the white stays.
  EXPECT_EQ(frame[(kTop - 1) * 640 + kLeft] & 0xFFFFFF, 0xFFFFFFu);
  EXPECT_EQ(frame[(kTop + height) * 640 + kLeft + width] & 0xFFFFFF, 0xFFFFFFu);
}

}  // namespace
}  // namespace sx
