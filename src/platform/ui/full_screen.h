// Full screen without a change of display mode: the window covers the whole screen the
// program starts on (the one under the pointer), at that screen's own resolution.
#pragma once

#include <vector>

class QScreen;
class QWidget;

namespace platform {

// The screen under the pointer, else the primary screen.
QScreen* StartScreen();

// Moves `window` to the start screen and shows it full screen there, frameless and on top.
void ShowFullScreenOnStartScreen(QWidget& window);

// The same on `screen`.
void ShowFullScreenOn(QWidget& window, QScreen* screen);

// Every monitor (each output of each X screen) but the start screen.
std::vector<QScreen*> OtherScreens();

}  // namespace platform
