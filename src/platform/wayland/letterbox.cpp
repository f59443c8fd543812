#include "platform/wayland/letterbox.h"

#include <cmath>

namespace platform {

ChangedRect LetterboxRect(int areaWidth, int areaHeight, int frameWidth, int frameHeight) {
  if (areaWidth <= 0 || areaHeight <= 0 || frameWidth <= 0 || frameHeight <= 0) return {};
  // Full width unless that makes it too tall; then full height.
  long long w = areaWidth;
  long long h = w * frameHeight / frameWidth;
  if (h > areaHeight) {
    h = areaHeight;
    w = h * frameWidth / frameHeight;
  }
  const int left = static_cast<int>((areaWidth - w) / 2);
  const int top = static_cast<int>((areaHeight - h) / 2);
  return {left, top, left + static_cast<int>(w), top + static_cast<int>(h)};
}

FramePoint ToFramePixel(double x, double y, const ChangedRect& place, int frameWidth,
                        int frameHeight) {
  const int w = place.right - place.left, h = place.bottom - place.top;
  if (w <= 0 || h <= 0) return {static_cast<int>(std::floor(x)), static_cast<int>(std::floor(y))};
  return {static_cast<int>(std::floor((x - place.left) * frameWidth / w)),
          static_cast<int>(std::floor((y - place.top) * frameHeight / h))};
}

}  // namespace platform
