// Decoding of uncompressed bottom-up BMP images into level 0 of a texture.
//
// Sources of 8 to 32 bits per pixel are converted into the texture's format; a P8 texture
// receives the palette indexes unchanged. The bitmap's top row lands on the texture's top
// row: a bitmap taller than the texture loses its bottom rows, a wider one its right
// columns. Nothing is raised: header and read problems are logged and end the decoding,
// unsupported bit counts and a P8 target for a 16-bit or deeper source go through
// CheckResult with code 1. Rows copied before a problem stay. Each refusal is preceded in
// the log by a line naming `source` (the file, or the archive entry, the bytes came from)
// and the check that failed.
#pragma once

#include <cstdint>
#include <string_view>

#include "data/stream.h"
#include "platform/d3d9/d3d9.h"

namespace dg {

inline constexpr std::size_t kBMPFileHeaderSize = 14;
inline constexpr std::size_t kBMPInfoHeaderSize = 40;
inline constexpr std::size_t kBMPPaletteSize = 1024;

// The fields of the two headers that the decoder reads.
struct BMPHeader {
  std::uint16_t type = 0;         // "BM" is 0x4D42
  std::uint32_t pixelOffset = 0;  // from the start of the file header
  std::int32_t width = 0;
  std::int32_t height = 0;  // positive: rows stored bottom-up
  std::uint16_t bitCount = 0;
};

BMPHeader ParseBMPFileHeader(const std::uint8_t (&bytes)[kBMPFileHeaderSize]);
void ParseBMPInfoHeader(const std::uint8_t (&bytes)[kBMPInfoHeaderSize], BMPHeader& header);

// Bytes of one stored row: width x (bitCount / 8), rounded up to a multiple of 4.
std::uint64_t BMPSourceStride(std::int64_t width, std::uint32_t bitCount);

// Locks level 0 of `texture`, decodes the BMP that starts at the stream's position into it
// and unlocks it.
void DecodeBMP(IDirect3DTexture9* texture, data::Stream& stream, std::string_view source);

// The decoding into locked memory: `bits` points at the pixel (rect.left, rect.top) of
// rows `pitch` bytes apart, holding pixels of `format`.
void DecodeBMPInto(data::Stream& stream, std::uint8_t* bits, std::int32_t pitch, const RECT& rect,
                   D3DFORMAT format, std::string_view source);

}  // namespace dg
