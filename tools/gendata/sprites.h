// The pictures of the archive: the leaf tile, the road across the top and the walker.
#pragma once

#include <cstdint>
#include <vector>

#include "raster.h"

namespace gendata {

// Leaf tile. The board puts tile (r, c) at x = (W + 10) c + 73, y = (H + 6) r + 129, so nine
// columns end at 9 W + 153 <= 640 (W <= 54) and nine rows at 9 H + 177 <= 480 (H <= 33).
// W = 46 centres the board on the screen (its middle is at 113 + 4.5 W = 320); H = 30 puts
// the blade's middle at 15, where the 21-pixel character drawn at (9, 4) has its middle.
inline constexpr int kLeafWidth = 46;
inline constexpr int kLeafHeight = 30;

// Road across the top: under the answer row (y 20..57), the meaning lines (from y 65) and
// the reading (from x 250, y 30); it ends above the first board row (y 129) and the walker
// drawn 4 pixels above it.
inline constexpr int kRoadWidth = 640;
inline constexpr int kRoadHeight = 122;

// One frame of the walker strip; it is drawn 2 pixels left and 4 up of its leaf.
inline constexpr int kWalkerFrameWidth = 48;
inline constexpr int kWalkerFrameHeight = 36;
inline constexpr int kWalkerFrames = 8;

enum class Facing { kRight, kLeft };

// A picture whose every pixel is either transparent or a colour.
struct MaskedPicture {
  Canvas colour;
  std::vector<bool> opaque;  // one flag per pixel, rows top to bottom
};

MaskedPicture DrawLeaf();
MaskedPicture DrawRoad();
// The walker strip: kWalkerFrames frames side by side, each kWalkerFrameWidth wide.
MaskedPicture DrawWalkerStrip(Facing facing);

// Rows top to bottom, R, G, B; transparent pixels become black (0, 0, 0), and an opaque
// pixel that would round to black is nudged to (1, 1, 1) so it stays visible.
std::vector<std::uint8_t> BlackKeyed(const MaskedPicture& picture);
// Transparent pixels become the key green (0, 255, 0); an opaque pixel that would round to
// the key is nudged to (0, 254, 0). Black stays black: it is the walker's outline.
std::vector<std::uint8_t> GreenKeyed(const MaskedPicture& picture);

}  // namespace gendata
