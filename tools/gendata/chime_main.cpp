// vm-gen-chime OUT.wav: writes the completion chime.
#include <cstdio>
#include <exception>

#include "bmp_writer.h"
#include "chime.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: vm-gen-chime OUT.wav\n");
    return 2;
  }
  try {
    gendata::WriteFile(argv[1],
                       gendata::EncodeWav16Mono(gendata::SynthesiseChime(), gendata::kChimeRate));
  } catch (const std::exception& e) {
    std::fprintf(stderr, "vm-gen-chime: %s\n", e.what());
    return 1;
  }
  return 0;
}
