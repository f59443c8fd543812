// Rectangles of back-buffer pixels as the device gathers what a frame redraws: areas, and
// sets of rectangles that share no pixel.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/d3d9/present_target.h"

namespace vm_d3d9 {

// Separate areas a frame may redraw on its own; a new board's kanji written into the 81
// cells at once make about fifty.
inline constexpr size_t kMaxDamageBoxes = 128;
// Boxes up to this many pixels are compared before and after they are redrawn (a cell or
// the walker is about a thousand).
inline constexpr int64_t kMaxComparedBox = 16384;

int64_t Area(const ChangedRect& r);
ChangedRect Union(const ChangedRect& a, const ChangedRect& b);
bool Overlap(const ChangedRect& a, const ChangedRect& b);
bool SameRect(const ChangedRect& a, const ChangedRect& b);
// `inner` lies wholly within `outer`.
bool Contains(const ChangedRect& outer, const ChangedRect& inner);
// Adds `r` to rectangles that share no pixel, joined with every one it overlaps until it
// overlaps none.
void AddDisjoint(std::vector<ChangedRect>& boxes, ChangedRect r);
// Joins rectangles that share no pixel into at most `most` that still share none and
// cover them all: each step joins the two whose union adds the least area.
void MergeInto(std::vector<ChangedRect>& boxes, size_t most);

}  // namespace vm_d3d9
