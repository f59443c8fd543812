#include "dg/pixel_format.h"

#include <gtest/gtest.h>

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
    {25, 0xFF00FF00, 0x83E0, 0xFF00FF00},  // A1R5G5B5
    {25, 0x7FFF8040, 0x7E08, 0x00FF8341},
    {21, 0x12345678, 0x12345678, 0x12345678},  // A8R8G8B8
    {20, 0x12345678, 0x12345678, 0xFF345678},  // R8G8B8 passes all bits through
    {22, 0x12345678, 0x00345678, 0xFF345678},  // X8R8G8B8
    {23, 0xFFFF8040, 0xFC08, 0xFFFF8141},      // R5G6B5
    {24, 0x00FF8040, 0x7E08, 0xFFFF8341},      // X1R5G5B5
    {26, 0x80FF8040, 0x8F84, 0x88FF8844},      // A4R4G4B4
    {30, 0x80FF8040, 0x0F84, 0xFFFF8844},      // X4R4G4B4
    {27, 0x80FF8040, 0xF1, 0xFFFF9155},        // R3G3B2
    {29, 0x80FF8040, 0x80F1, 0x80FF9155},      // A8R3G3B2
    {28, 0x80FF8040, 0x80, 0x80000000},        // A8
    {50, 0x80FF8040, 0xFF, 0x00FF0000},        // L8 from red
    {51, 0x80FF8040, 0x80FF, 0x80FF0000},      // A8L8
    {52, 0x80FF8040, 0x8F, 0x88FF0000},        // A4L4
    {60, 0x80FF8040, 0x8040, 0x00008040},      // V8U8
    {61, 0x80FF8040, 0xFE08, 0x00FC8040},      // L6V5U5
    {62, 0x12345678, 0x00345678, 0x00345678},  // X8L8V8U8
    {63, 0x12345678, 0x12345678, 0x12345678},  // Q8W8V8U8
    {64, 0x80FF8040, 0x80004000, 0x00804000},  // V16U16
    {41, 0x80FF8040, 0, 0},                    // P8
    {0, 0x80FF8040, 0, 0},
};

TEST(PixelFormat, PacksAndUnpacksEveryFormat) {
  for (const PixelCase& c : kPixels) {
    SCOPED_TRACE(c.format);
    const std::uint32_t pixel = PackColor(c.color, c.format);
    EXPECT_EQ(pixel, c.pixel);
    EXPECT_EQ(UnpackColor(pixel, c.format), c.unpacked);
    if (c.format != 20) {
      EXPECT_EQ(PackARGB(c.color >> 24, (c.color >> 16) & 0xFF, (c.color >> 8) & 0xFF,
                         c.color & 0xFF, c.format),
                c.pixel);
    }
  }
  EXPECT_EQ(PackARGB(0x12, 0x34, 0x56, 0x78, 20), 0x345678u);
}

TEST(PixelFormat, ExtremeColoursSurviveAlphaFormats) {
  for (const std::uint32_t format : {21u, 25u, 26u}) {
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
      {21, 32}, {22, 32}, {64, 32}, {75, 32}, {20, 24}, {23, 16}, {25, 16},        {40, 16},
      {80, 16}, {27, 8},  {41, 8},  {52, 8},  {0, 0},   {100, 0}, {0x31545844, 0},
  };
  for (const auto& c : cases) EXPECT_EQ(FormatBits(c.format), c.bits) << c.format;
}

}  // namespace
}  // namespace dg
