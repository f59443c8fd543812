// Inputs shared by the packer's tests and benchmark.
#pragma once

#include <cstdint>
#include <random>
#include <vector>

namespace data_test {

inline std::vector<std::uint8_t> RandomBytes(std::size_t n, unsigned seed) {
  std::mt19937 gen(seed);
  std::vector<std::uint8_t> out(n);
  for (auto& b : out) b = static_cast<std::uint8_t>(gen());
  return out;
}

// A bottom-up 24-bit bitmap file like the program's sprites: header, a flat background,
// two flat rectangles, a horizontal gradient band and a few noisy rows.
inline std::vector<std::uint8_t> BitmapLike(int width, int height) {
  const std::size_t stride = (static_cast<std::size_t>(width) * 3 + 3) & ~std::size_t{3};
  const std::size_t pixels = stride * height;
  std::vector<std::uint8_t> out(54 + pixels, 0);
  auto put32 = [&](std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) out[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
  };
  out[0] = 'B', out[1] = 'M';
  put32(2, static_cast<std::uint32_t>(out.size()));
  put32(10, 54);
  put32(14, 40);
  put32(18, static_cast<std::uint32_t>(width));
  put32(22, static_cast<std::uint32_t>(height));
  out[26] = 1, out[28] = 24;
  put32(34, static_cast<std::uint32_t>(pixels));
  std::mt19937 gen(7);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      std::uint8_t* p = out.data() + 54 + stride * y + 3 * x;
      std::uint8_t b = 0xFF, g = 0x00, r = 0xFF;  // magenta background, the colour key
      if (x > width / 8 && x < width / 2 && y > height / 6 && y < height / 2)
        b = 0x20, g = 0x90, r = 0x30;
      if (x > width / 2 && y > height / 2) b = 0x10, g = 0x40, r = 0x80;
      if (y >= height * 3 / 4 && y < height * 3 / 4 + 16)
        b = g = r = static_cast<std::uint8_t>(x * 255 / width);
      if (y % 97 == 0) b = static_cast<std::uint8_t>(gen()), g = static_cast<std::uint8_t>(gen());
      p[0] = b, p[1] = g, p[2] = r;
    }
  }
  return out;
}

}  // namespace data_test
