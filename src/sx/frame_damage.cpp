#include "sx/frame_damage.h"

#include <algorithm>
#include <cmath>
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
  if (!std::isfinite(x0) || !std::isfinite(x1) || !std::isfinite(y0) || !std::isfinite(y1))
    return clip;
  const auto inside = [](float f, LONG lo, LONG hi) {
    return static_cast<LONG>(std::clamp(f, static_cast<float>(lo), static_cast<float>(hi)));
  };
  return {inside(std::floor(x0), clip.left, clip.right),
          inside(std::floor(y0), clip.top, clip.bottom),
          inside(std::floor(x1) + 1, clip.left, clip.right),
          inside(std::floor(y1) + 1, clip.top, clip.bottom)};
}

bool SameQuad(const TSXQueuedQuad& a, const TSXQueuedQuad& b) {
  return a.texture == b.texture && a.textureVersion == b.textureVersion && a.x == b.x &&
         a.y == b.y && a.z == b.z && a.blendMode == b.blendMode &&
         a.linearFilter == b.linearFilter &&
         std::memcmp(a.vertices, b.vertices, sizeof a.vertices) == 0;
}

bool FindChangedBoxes(std::span<const TSXQueuedQuad> now, std::span<const TSXQueuedQuad> before,
                      const RECT& clip, std::size_t maxBoxes, std::vector<RECT>& boxes) {
  boxes.clear();
  const auto add = [&](const TSXQueuedQuad& quad) {
    const RECT& b = quad.bounds;
    AddDisjoint(boxes, {std::max(b.left, clip.left), std::max(b.top, clip.top),
                        std::min(b.right, clip.right), std::min(b.bottom, clip.bottom)});
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

}  // namespace sx
