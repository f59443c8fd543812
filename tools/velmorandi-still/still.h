// The image files each system's velmorandi-still writes besides PPM.
#pragma once

#include <string>
#include <vector>

#include "shell/headless_target.h"

namespace still {

// The endings of the formats this system writes (".png" ...); PPM is written on every system.
const std::vector<std::string>& ImageEndings();
// Writes `frame` in the format of one of ImageEndings(); false when it cannot.
bool WriteImage(const shell::Frame& frame, const std::string& path);

}  // namespace still
