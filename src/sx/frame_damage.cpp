#include "sx/frame_damage.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace sx {
namespace {

// Adds `r` to rectangles that share no pixel, joined with every one it overlaps until it
// overlaps none.
void AddDisjoint(std::vector<RECT>& boxes, RECT r) {
  if (r.left >= r.right || r.top >= r.bottom) return;
  for (std::size_t k = 0; k < boxes.size();) {
    if (!Overlap(r, boxes[k])) {
      ++k;
      continue;
    }
    const RECT& b = boxes[k];
    r = {std::min(r.left, b.left), std::min(r.top, b.top), std::max(r.right, b.right),
         std::max(r.bottom, b.bottom)};
    boxes.erase(boxes.begin() + static_cast<std::ptrdiff_t>(k));
    k = 0;  // the grown rectangle may now overlap one already passed
  }
  boxes.push_back(r);
}

}  // namespace

bool Overlap(const RECT& a, const RECT& b) {
  return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

RECT QuadBounds(const TSXQueuedQuad& quad, const RECT& clip) {
  // The positions the queue hands the device, computed as it computes them.
  float x0 = quad.x + quad.vertices[0].x, x1 = x0;
  float y0 = quad.y + quad.vertices[0].y, y1 = y0;
  for (int i = 1; i < 4; ++i) {
    const float x = quad.x + quad.vertices[i].x, y = quad.y + quad.vertices[i].y;
    x0 = std::min(x0, x);
    x1 = std::max(x1, x);
    y0 = std::min(y0, y);
    y1 = std::max(y1, y);
  }
  // Written so that a NaN fails it too; a quad reaching so far covers all of `clip` anyway.
  constexpr float kFar = 1e9f;
  if (!(x0 >= -kFar && x1 <= kFar && y0 >= -kFar && y1 <= kFar)) return clip;
  // floor as a conversion, which truncates, and a step down for negative fractions: the
  // library's floor is a call on the processors the build targets.
  const auto floorOf = [](float f) {
    const auto i = static_cast<std::int64_t>(f);
    return static_cast<float>(i) > f ? i - 1 : i;
  };
  const auto inside = [](std::int64_t v, LONG lo, LONG hi) {
    return static_cast<LONG>(std::clamp<std::int64_t>(v, lo, hi));
  };
  return {inside(floorOf(x0), clip.left, clip.right), inside(floorOf(y0), clip.top, clip.bottom),
          inside(floorOf(x1) + 1, clip.left, clip.right),
          inside(floorOf(y1) + 1, clip.top, clip.bottom)};
}

bool SameQuad(const TSXQueuedQuad& a, const TSXQueuedQuad& b) {
  return a.texture == b.texture && a.textureVersion == b.textureVersion && a.x == b.x &&
         a.y == b.y && a.z == b.z && a.blendMode == b.blendMode &&
         a.linearFilter == b.linearFilter &&
         std::memcmp(a.vertices, b.vertices, sizeof a.vertices) == 0;
}

bool FindChangedBoxes(std::span<const TSXQueuedQuad> now, std::span<const TSXQueuedQuad> before,
                      std::size_t maxBoxes, std::vector<RECT>& boxes) {
  boxes.clear();
  const auto add = [&](const TSXQueuedQuad& quad) {
    AddDisjoint(boxes, quad.bounds);
    return boxes.size() <= maxBoxes;
  };
  std::size_t i = 0, j = 0;
  while (i < now.size() && j < before.size()) {
    if (SameQuad(now[i], before[j])) {
      ++i;
      ++j;
    } else if (j + 1 < before.size() && SameQuad(now[i], before[j + 1])) {
      if (!add(before[j++])) return false;  // left out
    } else if (i + 1 < now.size() && SameQuad(now[i + 1], before[j])) {
      if (!add(now[i++])) return false;  // put in
    } else {
      if (!add(now[i++]) || !add(before[j++])) return false;
    }
  }
  for (; i < now.size(); ++i)
    if (!add(now[i])) return false;
  for (; j < before.size(); ++j)
    if (!add(before[j])) return false;
  return true;
}

bool FindReplacedBoxes(std::span<const TSXReplacement> replaced, std::span<const TSXQueuedQuad> now,
                       std::size_t requeued, std::size_t maxBoxes, std::vector<RECT>& boxes) {
  boxes.clear();
  for (const TSXReplacement& r : replaced) {
    if (SameQuad(r.before, now[r.index])) continue;
    AddDisjoint(boxes, r.before.bounds);
    AddDisjoint(boxes, now[r.index].bounds);
  }
  for (std::size_t i = requeued; i < now.size(); ++i) AddDisjoint(boxes, now[i].bounds);
  return boxes.size() <= maxBoxes;
}

}  // namespace sx
