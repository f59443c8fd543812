// Wallpaper files checked before they reach a texture: the texture layer halts the
// program on a bitmap it cannot read, and a user's picture must never do that.
#pragma once

#include <cstdint>
#include <string>
#include <variant>

#include "dg/texture.h"

namespace presentation {

// JPEG by the file name's ending alone, case-sensitively: ".jpg", ".JPG", ".jpeg",
// ".JPEG" (".Jpg" is not).
bool IsJpegName(const std::string& path);

// The frame the wallpaper is stretched over. A JPEG larger than it on both sides is decoded
// scaled down to no less than it; one that is not keeps its full size.
inline constexpr int kFrameWidth = 640;
inline constexpr int kFrameHeight = 480;

// Largest bitmap side accepted, as for JPEG wallpapers.
inline constexpr std::int32_t kMaxBitmapSide = 8192;

// A wallpaper ready for the texture: a decoded JPEG picture, or a BMP file whose headers
// and size the texture layer's decoder takes.
struct CheckedJpeg {
  dg::TDGBitmap bitmap;
};
struct CheckedBmp {};
struct Refusal {
  std::string reason;  // why the file cannot be shown (English, for the log)
};
using CheckedWallpaper = std::variant<CheckedJpeg, CheckedBmp, Refusal>;

// Reads `path` and checks it: a JPEG must decode (sizes beyond jpeg::kMaxSide and
// jpeg::kMaxPixels are refused); a BMP must be "BM", uncompressed, 8, 16,
// 24 or 32 bits per pixel (8 with its palette), stored bottom-up, at most kMaxBitmapSide
// on each side, and hold all its rows.
CheckedWallpaper CheckWallpaper(const std::string& path);

}  // namespace presentation
