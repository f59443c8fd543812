// Packing and unpacking of A8R8G8B8 colours for every texture format the device layer
// touches. Formats are Direct3D 9 format codes (21 = A8R8G8B8, 25 = A1R5G5B5, ...).
#pragma once

#include <cstdint>

namespace dg {

// Bits per pixel; 0 for palettes with alpha, compressed, YUV and unknown formats.
int FormatBits(std::uint32_t format);

// The pixel value of the A8R8G8B8 `color`, channels cut to the format's widths by dropping
// low bits. R8G8B8 passes all 32 bits through (only three bytes are stored). Unknown
// formats give 0.
std::uint32_t PackColor(std::uint32_t color, std::uint32_t format);
std::uint32_t PackARGB(std::uint8_t alpha, std::uint8_t red, std::uint8_t green, std::uint8_t blue,
                       std::uint32_t format);

// The A8R8G8B8 colour of a pixel value; narrow channels are widened by ExpandChannel.
std::uint32_t UnpackColor(std::uint32_t pixel, std::uint32_t format);

// value * 255 / (2^bits - 1), rounded down: the full range of a `bits`-wide channel onto
// 0..255. Zero bits give 0.
std::uint32_t ExpandChannel(std::uint32_t value, std::uint32_t bits);

}  // namespace dg
