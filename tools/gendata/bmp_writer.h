// The 24-bit bitmap files of the archive: BITMAPFILEHEADER + BITMAPINFOHEADER, rows bottom
// to top, each padded to a multiple of four bytes, pixels B, G, R.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace gendata {

// `rgb` holds width * height pixels, rows top to bottom, R, G, B per pixel.
// Throws std::invalid_argument when the sizes disagree.
std::vector<std::uint8_t> EncodeBmp24(int width, int height, const std::vector<std::uint8_t>& rgb);

// Writes `bytes` to `path`; throws std::runtime_error naming the path when that fails.
void WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes);

}  // namespace gendata
