// Trees for the wallpapers, and the petals and leaves that fall from them.
//
// A tree is a trunk that forks into tapering limbs; its crown is one mass laid over the
// limb ends, its outline frayed by noise and its surface broken into small blossoms or
// leaves, with gaps through which the limbs show.
#pragma once

#include <cstdint>

#include "raster.h"
#include "shape.h"

namespace gendata {

struct TreeLook {
  Rgb bark, crownDark, crownLight, fleck;
  float spread;       // how far the limbs lean out from upright, in radians
  float crownWidth;   // width of the crown around each limb end, relative to the tree's size
  float crownHeight;  // its height, the same way
};

// A tree standing at (x, ground), about 2 x size wide and 1.8 x size tall. `haze` is mixed
// into every colour by `hazeAmount`, for trees far away.
void Tree(Canvas& c, const TreeLook& look, float x, float ground, float size, std::uint32_t seed,
          Rgb haze, float hazeAmount);

TreeLook CherryLook();
TreeLook MapleLook(float hue);  // 0: crimson .. 1: amber

// A cherry petal `length` pixels long, turned by `angle` (radians): an oval, notched at its
// outer end, deeper pink at its base.
void Petal(Canvas& c, float x, float y, float length, float angle, Rgb colour, float alpha);
// A five-lobed maple leaf `size` pixels across with a short stalk.
void MapleLeaf(Canvas& c, float x, float y, float size, float angle, Rgb colour, float alpha);

}  // namespace gendata
