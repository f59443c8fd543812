#include "shell/windows/frame_placement.h"

namespace shell {
namespace {

constexpr long long kFrameWidth = 640;
constexpr long long kFrameHeight = 480;

// offset * frameSize / size, rounded down on both sides of 0.
LONG Scale(long long offset, long long size, long long frameSize) {
  const long long scaled = offset * frameSize;
  return static_cast<LONG>(scaled >= 0 ? scaled / size : -((-scaled + size - 1) / size));
}

}  // namespace

RECT LetterboxRect(const RECT& area) {
  const long long width = area.right - area.left;
  const long long height = area.bottom - area.top;
  // An area wider than 4:3 takes the frame at its full height, a narrower one at its width.
  long long fitWidth = width;
  long long fitHeight = height;
  if (width * kFrameHeight > height * kFrameWidth) {
    fitWidth = height * kFrameWidth / kFrameHeight;
  } else {
    fitHeight = width * kFrameHeight / kFrameWidth;
  }
  const auto left = static_cast<LONG>(area.left + (width - fitWidth) / 2);
  const auto top = static_cast<LONG>(area.top + (height - fitHeight) / 2);
  return {left, top, static_cast<LONG>(left + fitWidth), static_cast<LONG>(top + fitHeight)};
}

POINT FramePointOf(POINT screen, const RECT& frame) {
  const long long width = frame.right - frame.left;
  const long long height = frame.bottom - frame.top;
  if (width <= 0 || height <= 0) return screen;
  return {Scale(screen.x - frame.left, width, kFrameWidth),
          Scale(screen.y - frame.top, height, kFrameHeight)};
}

}  // namespace shell
