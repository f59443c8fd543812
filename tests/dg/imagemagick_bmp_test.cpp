// Bitmaps written by ImageMagick decode to the pixels ImageMagick reports for them.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>

#include "dg/dg_fixture.h"

namespace dg {
namespace {

using namespace dg_test;

constexpr int kWidth = 33;  // odd: rows of 8-, 16- and 24-bit pixels carry padding
constexpr int kHeight = 9;

bool HaveConvert() { return std::system("command -v convert >/dev/null 2>&1") == 0; }

std::vector<std::uint8_t> ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// RGBA bytes as A8R8G8B8 colours.
std::vector<std::uint32_t> FromRGBA(const std::vector<std::uint8_t>& bytes) {
  std::vector<std::uint32_t> colors;
  for (std::size_t i = 0; i + 3 < bytes.size(); i += 4) {
    colors.push_back(static_cast<std::uint32_t>(bytes[i + 3]) << 24 |
                     static_cast<std::uint32_t>(bytes[i]) << 16 |
                     static_cast<std::uint32_t>(bytes[i + 1]) << 8 | bytes[i + 2]);
  }
  return colors;
}

struct MagickCase {
  const char* name;
  const char* options;  // convert options before the BMP3 output
  std::uint16_t bitCount;
  // Source pixel (x, y) as A8R8G8B8.
  std::uint32_t (*source)(int x, int y);
  // The reference when ImageMagick cannot read its own file back correctly: the pixels
  // the file holds by construction. nullptr: ImageMagick's read-back is the reference.
  std::uint32_t (*stored)(int x, int y);
};

std::uint32_t Opaque(int x, int y) {
  return 0xFF000000u | static_cast<std::uint32_t>((x * 7) & 0xFF) << 16 |
         static_cast<std::uint32_t>((y * 29) & 0xFF) << 8 |
         static_cast<std::uint32_t>((x * y) & 0xFF);
}

// 200 colours: more than a 4-bit palette holds, so the file is written with 8 bits.
std::uint32_t Paletted(int x, int y) {
  const int k = (x * 7 + y * 3) % 200;
  return 0xFF000000u | static_cast<std::uint32_t>(k) << 16 |
         static_cast<std::uint32_t>(255 - k) << 8 | static_cast<std::uint32_t>((k * 5) & 0xFF);
}

std::uint32_t Translucent(int x, int y) {
  return static_cast<std::uint32_t>((x * 8 + y) & 0xFF) << 24 | (Opaque(x, y) & 0xFFFFFF);
}

// 5-bit channel k given as ceil(k x 255 / 31): whether a writer rounds or truncates to 5
// bits, it stores k. Alpha is 0 or 255.
std::uint32_t FiveBitSource(int x, int y) {
  auto channel = [](int k) { return static_cast<std::uint32_t>(((k & 31) * 255 + 30) / 31); };
  const std::uint32_t alpha = (x + y) % 3 == 0 ? 0u : 255u;
  return alpha << 24 | channel(x) << 16 | channel(y * 3) << 8 | channel(x + y);
}

// The same pixels as a 1-5-5-5 file holds them, widened as the decoder widens them.
std::uint32_t FiveBitStored(int x, int y) {
  auto channel = [](int k) { return static_cast<std::uint32_t>((k & 31) * 255 / 31); };
  const std::uint32_t alpha = (x + y) % 3 == 0 ? 0u : 255u;
  return alpha << 24 | channel(x) << 16 | channel(y * 3) << 8 | channel(x + y);
}

class ImageMagickBmp : public DGTest, public ::testing::WithParamInterface<MagickCase> {};

TEST_P(ImageMagickBmp, DecodesToTheReportedPixels) {
  if (!HaveConvert()) GTEST_SKIP() << "ImageMagick's convert is not installed";
  const MagickCase& c = GetParam();
  const std::string source = temp_.File("source.rgba");
  const std::string bmp = temp_.File(std::string(c.name) + ".bmp");
  const std::string back = temp_.File("back.rgba");

  std::vector<std::uint32_t> sourcePixels;
  std::vector<std::uint8_t> rgba;
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      const std::uint32_t p = c.source(x, y);
      sourcePixels.push_back(p);
      rgba.insert(rgba.end(),
                  {static_cast<std::uint8_t>(p >> 16), static_cast<std::uint8_t>(p >> 8),
                   static_cast<std::uint8_t>(p), static_cast<std::uint8_t>(p >> 24)});
    }
  }
  dg_test::WriteFile(source, rgba);
  const std::string size = std::to_string(kWidth) + "x" + std::to_string(kHeight);
  ASSERT_EQ(std::system(("convert -size " + size + " -depth 8 rgba:" + source + " " + c.options +
                         " BMP3:" + bmp)
                            .c_str()),
            0);
  const std::vector<std::uint8_t> file = ReadBytes(bmp);
  ASSERT_GE(file.size(), 54u);
  ASSERT_EQ(file[28] | file[29] << 8, c.bitCount) << "ImageMagick wrote another depth";

  std::vector<std::uint32_t> expected;
  if (c.stored != nullptr) {
    for (int y = 0; y < kHeight; ++y) {
      for (int x = 0; x < kWidth; ++x) expected.push_back(c.stored(x, y));
    }
  } else {
    ASSERT_EQ(std::system(("convert " + bmp + " -depth 8 rgba:" + back).c_str()), 0);
    expected = FromRGBA(ReadBytes(back));
    ASSERT_EQ(expected.size(), sourcePixels.size());
  }

  StartCarad();
  auto texture = MakeTexture();
  texture->LoadBMP(bmp, "");
  EXPECT_FALSE(LogHas("Error Code")) << Log();
  ASSERT_EQ(texture->TextureWidth(), static_cast<std::uint32_t>(kWidth));
  ASSERT_EQ(texture->TextureHeight(), static_cast<std::uint32_t>(kHeight));
  EXPECT_EQ(AllTexels(*texture), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Bmp3, ImageMagickBmp,
    ::testing::Values(
        MagickCase{"Bits8", "-alpha off -type palette -compress none", 8, Paletted, nullptr},
        MagickCase{"Bits24", "-alpha off -type truecolor", 24, Opaque, nullptr},
        MagickCase{"Bits32", "-define bmp3:alpha=true", 32, Translucent, nullptr},
        // ImageMagick reads its own 5-5-5 files back with other channel masks.
        MagickCase{"Bits16", "-define bmp:subtype=ARGB1555", 16, FiveBitSource, FiveBitStored}),
    [](const ::testing::TestParamInfo<MagickCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace dg
