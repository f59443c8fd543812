#include "dg/pixel_format.h"

namespace dg {
namespace {

enum Format : std::uint32_t {
  kR8G8B8 = 20,
  kA8R8G8B8 = 21,
  kX8R8G8B8 = 22,
  kR5G6B5 = 23,
  kX1R5G5B5 = 24,
  kA1R5G5B5 = 25,
  kA4R4G4B4 = 26,
  kR3G3B2 = 27,
  kA8 = 28,
  kA8R3G3B2 = 29,
  kX4R4G4B4 = 30,
  kA8P8 = 40,
  kP8 = 41,
  kL8 = 50,
  kA8L8 = 51,
  kA4L4 = 52,
  kV8U8 = 60,
  kL6V5U5 = 61,
  kX8L8V8U8 = 62,
  kQ8W8V8U8 = 63,
  kV16U16 = 64,
  kD16Lockable = 70,
  kD32 = 71,
  kD15S1 = 73,
  kD24S8 = 75,
  kD24X8 = 77,
  kD24X4S4 = 79,
  kD16 = 80,
};

// The `bits`-wide field of `pixel` starting at bit `shift`, widened to 8 bits.
std::uint32_t Field(std::uint32_t pixel, int shift, std::uint32_t bits) {
  return ExpandChannel((pixel >> shift) & ((1u << bits) - 1), bits);
}

std::uint32_t Argb(std::uint32_t a, std::uint32_t r, std::uint32_t g, std::uint32_t b) {
  return a << 24 | r << 16 | g << 8 | b;
}

}  // namespace

int FormatBits(std::uint32_t format) {
  switch (format) {
    case kA8R8G8B8:
    case kX8R8G8B8:
    case kX8L8V8U8:
    case kQ8W8V8U8:
    case kV16U16:
    case kD32:
    case kD24S8:
    case kD24X8:
    case kD24X4S4:
      return 32;
    case kR8G8B8:
      return 24;
    case kR5G6B5:
    case kX1R5G5B5:
    case kA1R5G5B5:
    case kA4R4G4B4:
    case kA8R3G3B2:
    case kX4R4G4B4:
    case kA8P8:
    case kA8L8:
    case kV8U8:
    case kL6V5U5:
    case kD16Lockable:
    case kD15S1:
    case kD16:
      return 16;
    case kR3G3B2:
    case kA8:
    case kP8:
    case kL8:
    case kA4L4:
      return 8;
    default:
      return 0;
  }
}

std::uint32_t PackColor(std::uint32_t color, std::uint32_t format) {
  if (format == kR8G8B8) return color;
  return PackARGB(static_cast<std::uint8_t>(color >> 24), static_cast<std::uint8_t>(color >> 16),
                  static_cast<std::uint8_t>(color >> 8), static_cast<std::uint8_t>(color), format);
}

std::uint32_t PackARGB(std::uint8_t alpha, std::uint8_t red, std::uint8_t green, std::uint8_t blue,
                       std::uint32_t format) {
  const std::uint32_t a = alpha, r = red, g = green, b = blue;
  switch (format) {
    case kR8G8B8:
    case kX8R8G8B8:
    case kX8L8V8U8:
      return r << 16 | g << 8 | b;
    case kA8R8G8B8:
    case kQ8W8V8U8:
      return Argb(a, r, g, b);
    case kR5G6B5:
      return (r >> 3) << 11 | (g >> 2) << 5 | (b >> 3);
    case kX1R5G5B5:
      return (r >> 3) << 10 | (g >> 3) << 5 | (b >> 3);
    case kA1R5G5B5:
      return (a >> 7) << 15 | (r >> 3) << 10 | (g >> 3) << 5 | (b >> 3);
    case kA4R4G4B4:
      return (a >> 4) << 12 | (r >> 4) << 8 | (g >> 4) << 4 | (b >> 4);
    case kR3G3B2:
      return (r >> 5) << 5 | (g >> 5) << 2 | (b >> 6);
    case kA8:
      return a;
    case kA8R3G3B2:
      return a << 8 | (r >> 5) << 5 | (g >> 5) << 2 | (b >> 6);
    case kX4R4G4B4:
      return (r >> 4) << 8 | (g >> 4) << 4 | (b >> 4);
    case kL8:  // luminance is taken from red
      return r;
    case kA8L8:
      return a << 8 | r;
    case kA4L4:
      return (a >> 4) << 4 | (r >> 4);
    case kV8U8:
      return g << 8 | b;
    case kL6V5U5:
      return (r >> 2) << 10 | (g >> 3) << 5 | (b >> 3);
    case kV16U16:
      return g << 24 | b << 8;
    default:
      return 0;
  }
}

std::uint32_t UnpackColor(std::uint32_t pixel, std::uint32_t format) {
  switch (format) {
    case kR8G8B8:
    case kX8R8G8B8:
      return pixel | 0xFF000000u;
    case kA8R8G8B8:
    case kV8U8:
    case kX8L8V8U8:
    case kQ8W8V8U8:
      return pixel;
    case kR5G6B5:
      return Argb(255, Field(pixel, 11, 5), Field(pixel, 5, 6), Field(pixel, 0, 5));
    case kX1R5G5B5:
      return Argb(255, Field(pixel, 10, 5), Field(pixel, 5, 5), Field(pixel, 0, 5));
    case kA1R5G5B5:
      return Argb(Field(pixel, 15, 1), Field(pixel, 10, 5), Field(pixel, 5, 5), Field(pixel, 0, 5));
    case kA4R4G4B4:
      return Argb(Field(pixel, 12, 4), Field(pixel, 8, 4), Field(pixel, 4, 4), Field(pixel, 0, 4));
    case kX4R4G4B4:
      return Argb(255, Field(pixel, 8, 4), Field(pixel, 4, 4), Field(pixel, 0, 4));
    case kR3G3B2:
      return Argb(255, Field(pixel, 5, 3), Field(pixel, 2, 3), Field(pixel, 0, 2));
    case kA8R3G3B2:
      return Argb((pixel >> 8) & 0xFF, Field(pixel, 5, 3), Field(pixel, 2, 3), Field(pixel, 0, 2));
    case kA8:
      return pixel << 24;
    case kL8:
    case kA8L8:  // luminance into red, A8L8's alpha into the alpha byte
      return pixel << 16;
    case kA4L4:
      return Argb(Field(pixel, 4, 4), Field(pixel, 0, 4), 0, 0);
    case kL6V5U5:
      return ((pixel >> 10) & 0x3F) << 2 << 16 | ((pixel >> 5) & 0x1F) << 3 << 8 |
             (pixel & 0x1F) << 3;
    case kV16U16:
      return (pixel & 0xFFFF) | (pixel >> 16) << 8;
    default:
      return 0;
  }
}

std::uint32_t ExpandChannel(std::uint32_t value, std::uint32_t bits) {
  if (bits == 0) return 0;
  const std::uint64_t max = bits >= 32 ? 0xFFFFFFFFull : (1ull << bits) - 1;
  return static_cast<std::uint32_t>(static_cast<std::uint64_t>(value) * 255 / max);
}

}  // namespace dg
