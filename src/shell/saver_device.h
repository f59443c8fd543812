// How the saver starts its device wrapper, on every system and in every way it runs.
#pragma once

#include "dg/carad.h"

namespace shell {

// How the saver's 640 x 480 frame reaches the screen.
enum class SaverDisplay {
  kFullScreen,  // the device owns the display at 640 x 480
  kScaled,      // the display keeps its mode; the host shows the windowed frame scaled
};

// The saver window's start of the device: the wrapper starts windowed on its window, then
// goes full screen at 640 x 480 A8R8G8B8, no depth buffer, immediate presentation, adapter 0.
// When the adapter has no such mode or the switch fails, the device stays windowed with a
// 640 x 480 back buffer instead (the refusal is logged, not fatal). Only log failures; a
// device that cannot be made at all ends the program.
SaverDisplay StartSaverDevice(dg::TDGCarad& carad);

}  // namespace shell
