// The writer on a device without its pixel format: the software device's options choose
// the formats a device offers.
#include "sx/text_writer_fixture.h"

namespace sx {
namespace {

TEST_F(TextWriterTest, TextureInAnotherFormatGetsConvertedPixels) {
  textures_.clear();
  writer_.reset();
  carad_.reset();
  SoftwareDeviceOptions options = DefaultSoftwareDeviceOptions();
  SoftwareDeviceOptions noA8 = options;
  noA8.textureFormats = {D3DFMT_A4R4G4B4};
  SetDefaultSoftwareDeviceOptions(noA8);
  carad_ = std::make_unique<dg::TDGCarad>(nullptr);
  carad_->SetDebugOption(dg::dgoDebugMessage);
  carad_->Loaded();
  SetDefaultSoftwareDeviceOptions(options);
  writer_ = std::make_unique<TSXTextWriter>(*carad_, 16, D3DFMT_A8R8G8B8);
  writer_->SetFont(CellFont());

  dg::TDGTexture* texture = MakeTexture(30, 30, 0xFF000000);
  ASSERT_EQ(texture->Format(), D3DFMT_A4R4G4B4);
  writer_->DrawText(2, 2, *texture, Ansi("四"));
  const TSXGlyph glyph = writer_->Cache().GetGlyph(CodeOf("四"), writer_->Font());
  const std::vector<std::uint32_t> pixels = ReadTexture(*texture);
  for (int y = 0; y < 30; ++y) {
    for (int x = 0; x < 30; ++x) {
      const int gx = x - (2 + glyph.originX), gy = y - (2 + glyph.offsetY);
      const bool inBox = gx >= 0 && gx < glyph.width && gy >= 0 && gy < glyph.height;
      const std::uint32_t expected =
          inBox ? ((GlyphPixel(glyph, gx, gy) >> 28) << 12 | 0xFFF) : 0xF000;
      ASSERT_EQ(pixels[y * 30 + x], expected) << x << "," << y;
    }
  }
}

}  // namespace
}  // namespace sx
