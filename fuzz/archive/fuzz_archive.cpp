// Arbitrary bytes as an archive (looked up under a few ids), and as packed data expanded
// to a size taken from the input's first four bytes. Only EQDAError may come out.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "data/qda.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
  const std::vector<std::uint8_t> input(bytes, bytes + size);
  for (const char* id : {"road.bmp", "LEAF.BMP", "\x83\x41"}) {
    data::MemoryStream archive(input);
    try {
      const data::MemoryStream item = data::ExtractQDAStream(archive, id);
      if (item.Position() != 0) __builtin_trap();
    } catch (const data::EQDAError&) {
    }
  }
  if (size >= 4) {
    const std::uint32_t expanded = static_cast<std::uint32_t>(bytes[0]) | bytes[1] << 8 |
                                   bytes[2] << 16 | static_cast<std::uint32_t>(bytes[3]) << 24;
    data::MemoryStream packed(std::vector<std::uint8_t>(bytes + 4, bytes + size));
    try {
      const data::MemoryStream out = data::QDAExpand(packed, expanded);
      if (out.Size() != expanded) __builtin_trap();
    } catch (const data::EQDAError&) {
    }
  }
  return 0;
}
