#include "bmp_reader.h"

namespace assets_test {
namespace {
std::uint32_t U32(const std::vector<std::uint8_t>& b, std::size_t at) {
  return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<std::uint32_t>(b[at + 3]) << 24;
}
std::uint32_t U16(const std::vector<std::uint8_t>& b, std::size_t at) {
  return b[at] | b[at + 1] << 8;
}
}  // namespace

bool ParseBmp24(const std::vector<std::uint8_t>& b, Bmp24& out, std::string& error) {
  if (b.size() < 54 || b[0] != 'B' || b[1] != 'M') return error = "no bitmap file header", false;
  if (U32(b, 2) != b.size()) return error = "stated file size differs from the file", false;
  if (U32(b, 14) != 40) return error = "not a BITMAPINFOHEADER", false;
  const auto w = static_cast<std::int32_t>(U32(b, 18)), h = static_cast<std::int32_t>(U32(b, 22));
  if (w < 1 || h < 1 || w > 4096 || h > 4096) return error = "size out of range or top-down", false;
  if (U16(b, 26) != 1 || U16(b, 28) != 24 || U32(b, 30) != 0)
    return error = "not uncompressed 24-bit", false;
  const std::uint32_t offset = U32(b, 10);
  const std::size_t stride = (static_cast<std::size_t>(w) * 3 + 3) & ~std::size_t{3};
  if (offset < 54 || offset + stride * h != b.size())
    return error = "pixel data does not fit the file", false;
  out.width = w, out.height = h;
  out.rgb.assign(static_cast<std::size_t>(w) * h * 3, 0);
  for (int y = 0; y < h; ++y) {
    const std::uint8_t* row = &b[offset + stride * static_cast<std::size_t>(h - 1 - y)];
    for (std::size_t x = 0; x < static_cast<std::size_t>(w); ++x)
      for (int c = 0; c < 3; ++c)
        out.rgb[(static_cast<std::size_t>(y) * w + x) * 3 + c] = row[x * 3 + 2 - c];
    for (std::size_t pad = static_cast<std::size_t>(w) * 3; pad < stride; ++pad)
      if (row[pad] != 0) return error = "row padding is not zero", false;
  }
  return true;
}

}  // namespace assets_test
