// Pictures and byte checks shared by the JPEG suites.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "jpeg/jpeg.h"

namespace jpeg_test {

inline jpeg::Image Gradient(int w, int h) {
  jpeg::Image img{w, h, std::vector<std::uint32_t>(static_cast<std::size_t>(w) * h)};
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const unsigned r = 255u * x / (w - 1), g = 255u * y / (h - 1), b = 128;
      img.pixels[static_cast<std::size_t>(y) * w + x] = 0xFF000000u | r << 16 | g << 8 | b;
    }
  return img;
}

inline int Channel(std::uint32_t p, int shift) { return static_cast<int>((p >> shift) & 0xFF); }

// Largest difference of any channel between two pictures of the same size.
inline int MaxDifference(const jpeg::Image& a, const jpeg::Image& b) {
  int worst = 0;
  for (std::size_t i = 0; i < a.pixels.size(); ++i)
    for (int s : {0, 8, 16})
      worst = std::max(worst, std::abs(Channel(a.pixels[i], s) - Channel(b.pixels[i], s)));
  return worst;
}

// Offset of the first byte after marker 0xFF `code`, or npos.
inline std::size_t FindMarker(const std::vector<std::uint8_t>& bytes, std::uint8_t code) {
  for (std::size_t i = 0; i + 1 < bytes.size(); ++i)
    if (bytes[i] == 0xFF && bytes[i + 1] == code) return i + 2;
  return std::string::npos;
}

}  // namespace jpeg_test
