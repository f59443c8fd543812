#include "platform/wayland/frame_ring.h"

#include <gtest/gtest.h>

#include <deque>
#include <vector>

namespace platform {
namespace {

constexpr int kW = 64, kH = 48;

FrameChanges Rects(std::initializer_list<ChangedRect> rects) {
  FrameChanges changes;
  changes.whole = false;
  for (const ChangedRect& r : rects) changes.rects[changes.count++] = r;
  return changes;
}

// The compositor holds each buffer for `held` frames after the one it came with; every
// frame paints its changes in a colour of its own. Whichever copy is filled must then be
// the whole newest frame, not just its newest changes.
TEST(FrameRingTest, AFilledCopyIsTheWholeNewestFrameHoweverLongTheCompositorHeldIt) {
  for (const int held : {0, 1, 2}) {
    SCOPED_TRACE(held);
    std::vector<std::uint32_t> frame(kW * kH, 0);
    std::vector<std::vector<std::uint32_t>> memory;
    FrameRing ring;
    ring.Reset(kW, kH);
    std::deque<int> withCompositor;
    for (std::uint32_t n = 0; n < 24; ++n) {
      FrameChanges changes;  // whole at first
      if (n > 0) {
        const int x = static_cast<int>(n * 7 % (kW - 8)), y = static_cast<int>(n * 5 % (kH - 6));
        changes = Rects({{x, y, x + 8, y + 6}, {kW - 4, 0, kW, 2}});
        if (n == 12) {  // more rectangles than a copy keeps apart
          changes = Rects({});
          for (int i = 0; i < FrameChanges::kMaxRects; ++i)
            changes.rects[changes.count++] = {i * 4, i * 3 % kH, i * 4 + 2, i * 3 % kH + 1};
        }
      }
      std::array<ChangedRect, StaleArea::kMaxRects> rects;
      for (int i = 0, count = StaleArea::Of(changes).Rects(kW, kH, rects); i < count; ++i)
        for (int y = rects[i].top; y < rects[i].bottom; ++y)
          for (int x = rects[i].left; x < rects[i].right; ++x) frame[y * kW + x] = n + 1;
      ring.Changed(changes);
      int index = ring.Free();
      if (index < 0) {
        memory.emplace_back(kW * kH, 0xDEADBEEF);
        index = ring.Add(memory.back().data());
      }
      ring.FillAndHold(index, frame.data(), kW * 4);
      ASSERT_EQ(memory[index], frame) << "frame " << n << " in copy " << index;
      withCompositor.push_back(index);
      if (static_cast<int>(withCompositor.size()) > held + 1) {
        ring.Release(withCompositor.front());
        withCompositor.pop_front();
      }
    }
    EXPECT_EQ(ring.Size(), held + 2);
  }
}

}  // namespace
}  // namespace platform
