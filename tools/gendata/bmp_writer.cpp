#include "bmp_writer.h"

#include <fstream>
#include <stdexcept>

namespace gendata {
namespace {
void Put16(std::vector<std::uint8_t>& out, std::uint32_t v) {
  out.push_back(static_cast<std::uint8_t>(v));
  out.push_back(static_cast<std::uint8_t>(v >> 8));
}
void Put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}
}  // namespace

std::vector<std::uint8_t> EncodeBmp24(int width, int height, const std::vector<std::uint8_t>& rgb) {
  if (width < 1 || height < 1 || width > 32768 || height > 32768 ||
      rgb.size() != static_cast<std::size_t>(width) * height * 3)
    throw std::invalid_argument("EncodeBmp24: pixel data does not match the size");
  const std::uint32_t stride = (static_cast<std::uint32_t>(width) * 3 + 3) & ~3u;
  const std::uint32_t imageSize = stride * static_cast<std::uint32_t>(height);
  constexpr std::uint32_t kHeaders = 14 + 40;
  std::vector<std::uint8_t> out;
  out.reserve(kHeaders + imageSize);
  out.push_back('B');
  out.push_back('M');
  Put32(out, kHeaders + imageSize);  // file size
  Put32(out, 0);                     // two reserved words
  Put32(out, kHeaders);              // offset of the pixels
  Put32(out, 40);                    // BITMAPINFOHEADER
  Put32(out, static_cast<std::uint32_t>(width));
  Put32(out, static_cast<std::uint32_t>(height));  // positive: bottom-up
  Put16(out, 1);                                   // planes
  Put16(out, 24);                                  // bits per pixel
  Put32(out, 0);                                   // BI_RGB
  Put32(out, imageSize);
  Put32(out, 2835);  // 72 dots per inch, as pixels per metre
  Put32(out, 2835);
  Put32(out, 0);  // colours used
  Put32(out, 0);  // important colours
  for (int y = height - 1; y >= 0; --y) {
    const std::uint8_t* row = rgb.data() + static_cast<std::size_t>(y) * width * 3;
    for (int x = 0; x < width; ++x) {
      out.push_back(row[3 * x + 2]);
      out.push_back(row[3 * x + 1]);
      out.push_back(row[3 * x + 0]);
    }
    for (std::uint32_t pad = static_cast<std::uint32_t>(width) * 3; pad < stride; ++pad)
      out.push_back(0);
  }
  return out;
}

void WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file.write(reinterpret_cast<const char*>(bytes.data()),
             static_cast<std::streamsize>(bytes.size()));
  file.close();
  if (!file) throw std::runtime_error("cannot write " + path);
}

}  // namespace gendata
