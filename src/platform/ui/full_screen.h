// Full screen without a change of display mode: the window covers the whole screen the
// program starts on (the one under the pointer), at that screen's own resolution.
#pragma once

class QScreen;
class QWidget;

namespace platform {

// The screen under the pointer, else the primary screen.
QScreen* StartScreen();

// Moves `window` to the start screen and shows it full screen there, frameless and on top.
void ShowFullScreenOnStartScreen(QWidget& window);

}  // namespace platform
