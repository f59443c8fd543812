// vm-gen-wallpapers OUTDIR: writes Kabe_0.jpg (spring), Kabe_1.jpg (autumn), Kabe_2.jpg (night).
#include <cstdio>
#include <exception>
#include <string>

#include "bmp_writer.h"
#include "jpeg/jpeg.h"
#include "wallpapers.h"

namespace {
jpeg::Image ToImage(const gendata::Canvas& c) {
  jpeg::Image img{c.width(), c.height(), {}};
  img.pixels.reserve(static_cast<std::size_t>(c.width()) * c.height());
  for (int y = 0; y < c.height(); ++y)
    for (int x = 0; x < c.width(); ++x) {
      const gendata::Rgb& p = c.at(x, y);
      img.pixels.push_back(0xFF000000u | std::uint32_t{gendata::ToByte(p.r)} << 16 |
                           std::uint32_t{gendata::ToByte(p.g)} << 8 | gendata::ToByte(p.b));
    }
  return img;
}
}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: vm-gen-wallpapers OUTDIR\n");
    return 2;
  }
  const std::string dir = std::string(argv[1]) + "/";
  constexpr int kQuality = 92;
  try {
    gendata::WriteFile(dir + "Kabe_0.jpg",
                       jpeg::EncodeJpeg(ToImage(gendata::DrawSpringHills()), kQuality));
    gendata::WriteFile(dir + "Kabe_1.jpg",
                       jpeg::EncodeJpeg(ToImage(gendata::DrawAutumnMaples()), kQuality));
    gendata::WriteFile(dir + "Kabe_2.jpg",
                       jpeg::EncodeJpeg(ToImage(gendata::DrawMoonlitNight()), kQuality));
  } catch (const std::exception& e) {
    std::fprintf(stderr, "vm-gen-wallpapers: %s\n", e.what());
    return 1;
  }
  return 0;
}
