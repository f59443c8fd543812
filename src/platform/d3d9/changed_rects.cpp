#include "platform/d3d9/changed_rects.h"

#include <algorithm>
#include <cstddef>

namespace vm_d3d9 {

int64_t Area(const ChangedRect& r) { return int64_t{r.right - r.left} * (r.bottom - r.top); }

ChangedRect Union(const ChangedRect& a, const ChangedRect& b) {
  return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
          std::max(a.bottom, b.bottom)};
}

bool Overlap(const ChangedRect& a, const ChangedRect& b) {
  return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

bool SameRect(const ChangedRect& a, const ChangedRect& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

bool Contains(const ChangedRect& outer, const ChangedRect& inner) {
  return outer.left <= inner.left && outer.top <= inner.top && inner.right <= outer.right &&
         inner.bottom <= outer.bottom;
}

void AddDisjoint(std::vector<ChangedRect>& boxes, ChangedRect r) {
  if (r.left >= r.right || r.top >= r.bottom) return;
  for (bool merged = true; merged;) {
    merged = false;
    for (size_t k = 0; k < boxes.size(); ++k) {
      if (!Overlap(r, boxes[k])) continue;
      r = Union(r, boxes[k]);
      boxes.erase(boxes.begin() + static_cast<ptrdiff_t>(k));
      merged = true;
      break;
    }
  }
  boxes.push_back(r);
}

void MergeInto(std::vector<ChangedRect>& boxes, size_t most) {
  while (boxes.size() > most) {
    size_t a = 0, b = 1;
    int64_t best = INT64_MAX;
    for (size_t i = 0; i < boxes.size(); ++i) {
      for (size_t j = i + 1; j < boxes.size(); ++j) {
        const int64_t added = Area(Union(boxes[i], boxes[j])) - Area(boxes[i]) - Area(boxes[j]);
        if (added < best) {
          best = added;
          a = i;
          b = j;
        }
      }
    }
    const ChangedRect joined = Union(boxes[a], boxes[b]);
    boxes.erase(boxes.begin() + static_cast<ptrdiff_t>(b));
    boxes.erase(boxes.begin() + static_cast<ptrdiff_t>(a));
    AddDisjoint(boxes, joined);
  }
}

}  // namespace vm_d3d9
