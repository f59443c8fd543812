// What libjpeg gives on Linux: pictures in the colour spaces the project's encoder never
// writes, truncated data finished with padding, and the encoder's quality setting.
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include <jpeglib.h>

#include "jpeg/jpeg_test_support.h"

namespace {

using namespace jpeg_test;

// Writes a flat picture of `components` samples per pixel straight through libjpeg, for the
// colour spaces the project's encoder never writes.
std::vector<std::uint8_t> EncodeRaw(int w, int h, J_COLOR_SPACE space, int components,
                                    const std::vector<unsigned char>& pixel) {
  jpeg_compress_struct cinfo;
  jpeg_error_mgr err;
  cinfo.err = jpeg_std_error(&err);
  jpeg_create_compress(&cinfo);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&cinfo, &buffer, &size);
  cinfo.image_width = w;
  cinfo.image_height = h;
  cinfo.input_components = components;
  cinfo.in_color_space = space;
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, 95, TRUE);
  jpeg_start_compress(&cinfo, TRUE);
  std::vector<unsigned char> row;
  for (int x = 0; x < w; ++x) row.insert(row.end(), pixel.begin(), pixel.end());
  JSAMPROW rows[1] = {row.data()};
  while (cinfo.next_scanline < cinfo.image_height) jpeg_write_scanlines(&cinfo, rows, 1);
  jpeg_finish_compress(&cinfo);
  jpeg_destroy_compress(&cinfo);
  std::vector<std::uint8_t> out(buffer, buffer + size);
  std::free(buffer);
  return out;
}

TEST(Jpeg, DecodesGreyAndCmyk) {
  struct Case {
    const char* name;
    J_COLOR_SPACE space;
    std::vector<unsigned char> pixel;
    std::uint32_t expected;
  };
  const Case cases[] = {
      {"grey", JCS_GRAYSCALE, {200}, 0xFFC8C8C8u},
      // libjpeg marks CMYK files as Adobe's, whose samples are inverted: 255 means no ink.
      {"cmyk without ink", JCS_CMYK, {255, 255, 255, 255}, 0xFFFFFFFFu},
      {"cmyk full black", JCS_CMYK, {255, 255, 255, 0}, 0xFF000000u},
      {"cmyk cyan", JCS_CMYK, {0, 255, 255, 255}, 0xFF00FFFFu},
  };
  for (const Case& c : cases) {
    const auto bytes = EncodeRaw(16, 16, c.space, static_cast<int>(c.pixel.size()), c.pixel);
    const jpeg::DecodeResult r = jpeg::DecodeJpeg(bytes);
    ASSERT_TRUE(r.ok()) << c.name << ": " << r.error;
    const std::uint32_t p = r.image.pixels[8 * 16 + 8];
    for (int s : {0, 8, 16}) EXPECT_NEAR(Channel(p, s), Channel(c.expected, s), 3) << c.name;
  }
}

TEST(Jpeg, DataCutInsideTheScanStillDecodesAtFullSize) {
  const auto good = jpeg::EncodeJpeg(Gradient(80, 80), 80);
  const std::vector<std::uint8_t> cut(good.begin(),
                                      good.begin() + static_cast<long>(good.size() * 2 / 3));
  const jpeg::DecodeResult r = jpeg::DecodeJpeg(cut);
  ASSERT_TRUE(r.ok()) << r.error;
  EXPECT_EQ(r.image.width, 80);
  EXPECT_EQ(r.image.pixels.size(), 80u * 80u);
}

TEST(Jpeg, LowerQualityGivesASmallerFile) {
  const jpeg::Image img = Gradient(64, 48);
  EXPECT_LT(jpeg::EncodeJpeg(img, 20).size(), jpeg::EncodeJpeg(img, 90).size());
}

}  // namespace
