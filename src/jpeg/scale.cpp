#include "jpeg/jpeg.h"

namespace jpeg {

int ScaleEighths(std::int64_t width, std::int64_t height, ShownSize shown) {
  if (shown.width <= 0 || shown.height <= 0 || width <= shown.width || height <= shown.height) {
    return 8;
  }
  // A scaled side is rounded up: ceil(side * n / 8).
  const auto fits = [&](int n) {
    return (width * n + 7) / 8 >= shown.width && (height * n + 7) / 8 >= shown.height;
  };
  int eighths = 1;
  while (eighths < 8 && !fits(eighths)) ++eighths;
  return eighths;
}

int ScaledSide(std::int64_t side, int eighths) {
  return static_cast<int>((side * eighths + 7) / 8);
}

}  // namespace jpeg
