// Shared set-up and helpers of the text writer tests: a writer in the saver's window font on
// the test device, and readers of glyphs and textures.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/text/text.h"
#include "sx/sjis_walk.h"
#include "sx/sx_fixture.h"
#include "sx/text_writer.h"

namespace sx {

inline std::string Ansi(const char* utf8) { return platform::Utf8ToAnsi(utf8); }

inline std::uint32_t CodeOf(const char* utf8) {
  std::string ansi = Ansi(utf8);
  std::size_t pos = 0;
  return NextShiftJisCode(ansi, pos);
}

// The window font of the saver: its cell writer draws with it unchanged.
inline TSXFont CellFont() {
  TSXFont font;
  font.Name = "ＭＳ Ｐ明朝";
  font.Height = -21;
  font.Style = fsBold;
  return font;
}

// Every pixel of level 0 (tightly packed), read through a read-only lock.
inline std::vector<std::uint32_t> ReadTexture(dg::TDGTexture& texture) {
  std::vector<std::uint32_t> pixels;
  const LONG width = static_cast<LONG>(texture.TextureWidth());
  const LONG height = static_cast<LONG>(texture.TextureHeight());
  const RECT rect{0, 0, width, height};
  D3DLOCKED_RECT locked{0, nullptr};
  if (texture.LockRect(0, &rect, locked, D3DLOCK_READONLY) != D3D_OK) return pixels;
  const int bytes = texture.BytesPerPixel();
  for (LONG y = 0; y < height; ++y) {
    const auto* row = static_cast<const std::uint8_t*>(locked.pBits) + y * locked.Pitch;
    for (LONG x = 0; x < width; ++x) {
      std::uint32_t value = 0;
      for (int b = bytes - 1; b >= 0; --b) value = (value << 8) | row[x * bytes + b];
      pixels.push_back(value);
    }
  }
  texture.UnlockRect();
  return pixels;
}

// A glyph's pixel (A8R8G8B8 writer) at box column x, row y.
inline std::uint32_t GlyphPixel(const TSXGlyph& glyph, int x, int y) {
  const std::uint8_t* at = glyph.pixels.data() + y * glyph.pitch + x * 4;
  return at[0] | (at[1] << 8) | (at[2] << 16) | (static_cast<std::uint32_t>(at[3]) << 24);
}

inline bool HasInk(const TSXGlyph& glyph) {
  for (int y = 0; y < glyph.height; ++y) {
    for (int x = 0; x < glyph.width; ++x) {
      if ((GlyphPixel(glyph, x, y) >> 24) != 0) return true;
    }
  }
  return false;
}

class TextWriterTest : public testing::SxTest {
 protected:
  void SetUp() override {
    SxTest::SetUp();
    writer_ = std::make_unique<TSXTextWriter>(*carad_, 16, D3DFMT_A8R8G8B8);
    writer_->SetFont(CellFont());
  }
  void TearDown() override {
    writer_.reset();
    SxTest::TearDown();
  }
  std::unique_ptr<TSXTextWriter> writer_;
};

}  // namespace sx
