#include "dg/pixel_format.h"

#include <gtest/gtest.h>

#include "platform/d3d9/d3d9.h"

namespace dg {
namespace {

TEST(ExpandChannel, MapsTheFullFieldRangeOntoAByteRoundingDown) {
  const struct {
    std::uint32_t value, bits, expected;
  } cases[] = {
      {31, 5, 255}, {16, 5, 131}, {1, 1, 255}, {0, 1, 0},     {63, 6, 255},
      {32, 6, 129}, {7, 3, 255},  {1, 2, 85},  {200, 8, 200}, {5, 0, 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ExpandChannel(c.value, c.bits), c.expected) << c.value << "/" << c.bits;
  }
}

struct PixelCase {
  std::uint32_t format;
  std::uint32_t color;     // A8R8G8B8 in
  std::uint32_t pixel;     // PackColor
  std::uint32_t unpacked;  // UnpackColor of that pixel
};

// Colour channels 0x80 FF 80 40 show which bits each format keeps and how narrow fields widen.
const PixelCase kPixels[] = {
    {D3DFMT_A1R5G5B5, 0xFF00FF00, 0x83E0, 0xFF00FF00},
    {D3DFMT_A1R5G5B5, 0x7FFF8040, 0x7E08, 0x00FF8341},
    {D3DFMT_A8R8G8B8, 0x12345678, 0x12345678, 0x12345678},
    {D3DFMT_R8G8B8, 0x12345678, 0x12345678, 0xFF345678},  // passes all bits through
    {D3DFMT_X8R8G8B8, 0x12345678, 0x00345678, 0xFF345678},
    {D3DFMT_R5G6B5, 0xFFFF8040, 0xFC08, 0xFFFF8141},
    {D3DFMT_X1R5G5B5, 0x00FF8040, 0x7E08, 0xFFFF8341},
    {D3DFMT_A4R4G4B4, 0x80FF8040, 0x8F84, 0x88FF8844},
    {D3DFMT_X4R4G4B4, 0x80FF8040, 0x0F84, 0xFFFF8844},
    {D3DFMT_R3G3B2, 0x80FF8040, 0xF1, 0xFFFF9155},
    {D3DFMT_A8R3G3B2, 0x80FF8040, 0x80F1, 0x80FF9155},
    {D3DFMT_A8, 0x80FF8040, 0x80, 0x80000000},
    {D3DFMT_L8, 0x80FF8040, 0xFF, 0x00FF0000},  // from red
    {D3DFMT_A8L8, 0x80FF8040, 0x80FF, 0x80FF0000},
    {D3DFMT_A4L4, 0x80FF8040, 0x8F, 0x88FF0000},
    {D3DFMT_V8U8, 0x80FF8040, 0x8040, 0x00008040},
    {D3DFMT_L6V5U5, 0x80FF8040, 0xFE08, 0x00FC8040},
    {D3DFMT_X8L8V8U8, 0x12345678, 0x00345678, 0x00345678},
    {D3DFMT_Q8W8V8U8, 0x12345678, 0x12345678, 0x12345678},
    {D3DFMT_V16U16, 0x80FF8040, 0x80004000, 0x00804000},
    {D3DFMT_P8, 0x80FF8040, 0, 0},
    {D3DFMT_UNKNOWN, 0x80FF8040, 0, 0},
};

TEST(PixelFormat, PacksAndUnpacksEveryFormat) {
  for (const PixelCase& c : kPixels) {
    SCOPED_TRACE(c.format);
    const std::uint32_t pixel = PackColor(c.color, c.format);
    EXPECT_EQ(pixel, c.pixel);
    EXPECT_EQ(UnpackColor(pixel, c.format), c.unpacked);
    if (c.format != D3DFMT_R8G8B8) {
      EXPECT_EQ(PackARGB(c.color >> 24, (c.color >> 16) & 0xFF, (c.color >> 8) & 0xFF,
                         c.color & 0xFF, c.format),
                c.pixel);
    }
  }
  EXPECT_EQ(PackARGB(0x12, 0x34, 0x56, 0x78, D3DFMT_R8G8B8), 0x345678u);
}

TEST(PixelFormat, ExtremeColoursSurviveAlphaFormats) {
  for (const std::uint32_t format : {D3DFMT_A8R8G8B8, D3DFMT_A1R5G5B5, D3DFMT_A4R4G4B4}) {
    for (const std::uint32_t color : {0x00000000u, 0xFFFFFFFFu, 0xFF000000u, 0x00FFFFFFu}) {
      EXPECT_EQ(UnpackColor(PackColor(color, format), format), color) << format;
    }
  }
}

TEST(FormatBits, GivesBitsPerPixel) {
  const struct {
    std::uint32_t format;
    int bits;
  } cases[] = {
      {D3DFMT_A8R8G8B8, 32}, {D3DFMT_X8R8G8B8, 32},  {D3DFMT_V16U16, 32},   {D3DFMT_D24S8, 32},
      {D3DFMT_R8G8B8, 24},   {D3DFMT_R5G6B5, 16},    {D3DFMT_A1R5G5B5, 16}, {D3DFMT_A8P8, 16},
      {D3DFMT_D16, 16},      {D3DFMT_R3G3B2, 8},     {D3DFMT_P8, 8},        {D3DFMT_A4L4, 8},
      {D3DFMT_UNKNOWN, 0},   {D3DFMT_VERTEXDATA, 0}, {D3DFMT_DXT1, 0},
  };
  for (const auto& c : cases) EXPECT_EQ(FormatBits(c.format), c.bits) << c.format;
}

}  // namespace
}  // namespace dg
