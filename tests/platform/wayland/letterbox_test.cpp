#include "platform/wayland/letterbox.h"

#include <gtest/gtest.h>

namespace platform {
namespace {

TEST(LetterboxTest, TheFrameFillsTheOutputAsFarAsItsAspectAllowsCentred) {
  const struct {
    int w, h;
    ChangedRect place;
  } cases[] = {
      {1920, 1080, {240, 0, 1680, 1080}}, {1280, 720, {160, 0, 1120, 720}},
      {640, 480, {0, 0, 640, 480}},       {1080, 1920, {0, 555, 1080, 1365}},
      {1920, 1200, {160, 0, 1760, 1200}}, {0, 1080, {0, 0, 0, 0}},
  };
  for (const auto& c : cases) {
    const ChangedRect r = LetterboxRect(c.w, c.h, 640, 480);
    EXPECT_EQ((std::array{r.left, r.top, r.right, r.bottom}),
              (std::array{c.place.left, c.place.top, c.place.right, c.place.bottom}))
        << c.w << " x " << c.h;
  }
}

TEST(LetterboxTest, OutputPointsMapToFramePixelsThroughThePlace) {
  const ChangedRect place{240, 0, 1680, 1080};  // 2.25 output pixels a frame pixel
  const struct {
    double x, y;
    int fx, fy;
  } cases[] = {
      {240, 0, 0, 0},       {1679.9, 1079.9, 639, 479}, {239.5, 540, -1, 240},
      {960, 540, 320, 240}, {990, 540, 333, 240},  // 30 output pixels are 13 frame pixels
      {1800, 10, 693, 4},                          // on the right bar: past the frame
  };
  for (const auto& c : cases) {
    const FramePoint p = ToFramePixel(c.x, c.y, place, 640, 480);
    EXPECT_EQ(p.x, c.fx) << c.x;
    EXPECT_EQ(p.y, c.fy) << c.y;
  }
}

}  // namespace
}  // namespace platform
