// The frame on a screen that kept its own mode: where it is shown, and how a pointer
// position there becomes frame pixels for the 10-pixel rule.
#include "shell/windows/frame_placement.h"

#include <gtest/gtest.h>

namespace shell {
namespace {

TEST(FramePlacement, TheFrameFillsTheMonitorAtItsShapeCentred) {
  const struct {
    RECT monitor;
    RECT frame;
  } cases[] = {
      {{0, 0, 1920, 1080}, {240, 0, 1680, 1080}},         // wide: bars left and right
      {{0, 0, 1280, 1024}, {0, 32, 1280, 992}},           // tall: bars above and below
      {{0, 0, 640, 480}, {0, 0, 640, 480}},               // the frame's own size
      {{-1280, -200, 0, 520}, {-1120, -200, -160, 520}},  // a monitor left of the primary
  };
  for (const auto& c : cases) {
    const RECT got = LetterboxRect(c.monitor);
    EXPECT_TRUE(::EqualRect(&got, &c.frame))
        << c.monitor.left << "," << c.monitor.top << ": " << got.left << "," << got.top << " "
        << got.right << "," << got.bottom;
  }
}

TEST(FramePlacement, ScreenPointsBecomeFramePixelsRoundedDown) {
  const RECT frame{160, 0, 1120, 720};  // 1.5 screen pixels a frame pixel
  const struct {
    POINT screen;
    POINT inFrame;
  } cases[] = {
      {{160, 0}, {0, 0}},        {{1119, 719}, {639, 479}}, {{175, 15}, {10, 10}},
      {{176, 16}, {10, 10}},     {{177, 17}, {11, 11}},     {{150, 0}, {-7, 0}},
      {{1279, 719}, {746, 479}},  // on the bar beside the frame
  };
  for (const auto& c : cases) {
    const POINT got = FramePointOf(c.screen, frame);
    EXPECT_EQ(got.x, c.inFrame.x) << c.screen.x;
    EXPECT_EQ(got.y, c.inFrame.y) << c.screen.y;
  }
}

}  // namespace
}  // namespace shell
