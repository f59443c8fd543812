// Just enough of a reader for the 24-bit bitmaps the generators write, to check them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace assets_test {

struct Bmp24 {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> rgb;  // rows top to bottom, R, G, B
  std::uint32_t At(int x, int y) const {
    const std::uint8_t* p = &rgb[(static_cast<std::size_t>(y) * width + x) * 3];
    return std::uint32_t{p[0]} << 16 | std::uint32_t{p[1]} << 8 | p[2];
  }
};

// Parses an uncompressed bottom-up 24-bit file; the error names what is wrong.
bool ParseBmp24(const std::vector<std::uint8_t>& bytes, Bmp24& out, std::string& error);

}  // namespace assets_test
