// One frame of the saver, drawn headless on each system's own device: the real saver with the
// settings, user list, pictures and wallpapers of a data folder, on the process's test clock
// (Sleep advances it at once), from a chosen seed.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace still {

struct Frame {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> pixels;  // 0x00RRGGBB, rows top to bottom
};

// The last frame presented after `ticks` ticks from the saver's start with `seed`; throws
// std::runtime_error when the saver cannot start or presents nothing.
Frame DrawStill(const std::string& dataDir, std::uint64_t seed, int ticks);

// The image endings, besides .ppm, this system writes (".png" ...).
const std::vector<std::string>& ImageEndings();
// Writes `frame` in the format of one of ImageEndings(); false when it cannot.
bool WriteImage(const Frame& frame, const std::string& path);

}  // namespace still
