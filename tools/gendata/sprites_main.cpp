// vm-gen-sprites OUTDIR: writes road.bmp, Leaf.bmp, velmorandi_0.bmp and Velmorandi_1.bmp.
#include <cstdio>
#include <exception>
#include <string>

#include "bmp_writer.h"
#include "sprites.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: vm-gen-sprites OUTDIR\n");
    return 2;
  }
  const std::string dir = std::string(argv[1]) + "/";
  using namespace gendata;
  try {
    const auto write = [&](const char* name, const MaskedPicture& p, bool greenKey) {
      WriteFile(dir + name, EncodeBmp24(p.colour.width(), p.colour.height(),
                                        greenKey ? GreenKeyed(p) : BlackKeyed(p)));
    };
    write("road.bmp", DrawRoad(), false);
    write("Leaf.bmp", DrawLeaf(), false);
    write("velmorandi_0.bmp", DrawWalkerStrip(Facing::kRight), true);
    write("Velmorandi_1.bmp", DrawWalkerStrip(Facing::kLeft), true);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "vm-gen-sprites: %s\n", e.what());
    return 1;
  }
  return 0;
}
