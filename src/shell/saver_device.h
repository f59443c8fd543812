// How the saver starts its device wrapper, on every system and in every way it runs.
#pragma once

#include "dg/carad.h"

namespace shell {

// The saver window's start of the device: the wrapper starts windowed on its window, then
// goes full screen at 640 x 480 A8R8G8B8, no depth buffer, immediate presentation,
// adapter 0. Only log failures, and end the program on one.
void StartSaverDevice(dg::TDGCarad& carad);

}  // namespace shell
