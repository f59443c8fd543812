// The three built-in wallpapers, 640 x 480: spring hills, autumn maples, a moonlit night.
// They are quiet on purpose: low contrast, soft shapes, nothing that competes with the
// leaves and the panels drawn over them.
#pragma once

#include "raster.h"

namespace gendata {

inline constexpr int kWallpaperWidth = 640;
inline constexpr int kWallpaperHeight = 480;

Canvas DrawSpringHills();
Canvas DrawAutumnMaples();
Canvas DrawMoonlitNight();

}  // namespace gendata
