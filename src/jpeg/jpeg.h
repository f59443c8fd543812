// JPEG decoding and encoding for wallpapers and their previews: over libjpeg on Linux,
// through the Windows Imaging Component on Windows. A failure becomes an ordinary result
// (DecodeJpeg) or exception (EncodeJpeg) naming the reason; nothing here ever ends the
// process or prints.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace jpeg {

// A picture of 32-bit pixels 0xAARRGGBB, rows top to bottom, no padding.
struct Image {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> pixels;  // width * height entries
};

// Largest picture DecodeJpeg accepts: the biggest texture a device is asked to hold, on
// each side, and a bound on the whole so one file cannot demand more than 192 MiB.
inline constexpr int kMaxSide = 8192;
inline constexpr std::int64_t kMaxPixels = 8192LL * 6144LL;

struct DecodeResult {
  Image image;        // valid when error is empty; every pixel opaque
  std::string error;  // why the bytes could not be decoded, empty on success
  bool ok() const { return error.empty(); }
};

// The size a picture is shown at. A picture larger than this on both sides is decoded
// scaled down by the smallest of its eighths (1/8, 2/8 ... 7/8) that stays at least this
// large, each side rounded up (libjpeg scales while it decodes, so memory follows what is
// shown and not what the file claims; Windows scales the decoded frame); a picture that is
// not larger keeps its full size, pixel for pixel. Zero: always full size.
struct ShownSize {
  int width = 0;
  int height = 0;
};

// Decodes a baseline or progressive JPEG (grey, colour or CMYK). Truncated data that the
// decoder can still finish (libjpeg pads the missing part) decodes; everything else it
// rejects, sizes beyond kMaxSide or kMaxPixels (before any scaling), and (on Linux) absurd
// scan counts give an error that begins with "JPEG: ".
DecodeResult DecodeJpeg(std::span<const std::uint8_t> bytes, ShownSize shown = {});

// The eighths (1..8) a picture of `width` x `height` is decoded at for `shown`, and the
// length of a side of `side` pixels at `eighths`.
int ScaleEighths(std::int64_t width, std::int64_t height, ShownSize shown);
int ScaledSide(std::int64_t side, int eighths);

// What both encoders refuse before they start: throws std::invalid_argument as EncodeJpeg does.
void CheckEncodeArguments(const Image& image, int quality);

// Encodes `image` (alpha ignored) as a baseline JPEG; the same picture always gives the same
// bytes (on Linux with optimised Huffman tables and the exact integer DCT). `quality` is
// 1..100. Throws std::invalid_argument for an empty or inconsistent image or a bad quality,
// and std::runtime_error if the encoder fails.
std::vector<std::uint8_t> EncodeJpeg(const Image& image, int quality);

}  // namespace jpeg
