// The pictures and the layout of a typical saver frame, shared by every renderer the
// benchmark compares. Pixels are 32-bit ARGB, not premultiplied.
#pragma once

#include <cstdint>
#include <vector>

namespace frame_bench {

struct Picture {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> pixels;
};

struct Placement {
  int x, y;
  int picture;     // index into FrameContent::glyphs (glyph quads) or unused
  uint32_t color;  // vertex colour of glyphs and panel backgrounds
};

struct FrameContent {
  static constexpr int kWidth = 640;
  static constexpr int kHeight = 480;

  Picture wallpaper;  // 1024 x 768, opaque, stretched to the screen with bilinear filtering
  Picture header;     // 640 x 120 with transparent parts, at (0, 0)
  Picture tile;       // 44 x 30 leaf tile with transparent corners
  std::vector<Picture> glyphs;     // 21 x 21 white texels, coverage in alpha
  std::vector<Picture> bigGlyphs;  // 37 x 37
  Picture panel;                   // 400 x 20 text, coverage in alpha
  Picture strip;                   // 8 frames of 48 x 36
  Picture caption;                 // 300 x 20 text, coverage in alpha

  std::vector<Placement> tiles;          // 81
  std::vector<Placement> glyphQuads;     // 80 on the tiles
  std::vector<Placement> bigGlyphQuads;  // 4 in the answer row
  std::vector<Placement> panels;         // 2, each on a background of alpha 0x60
  Placement sprite;                      // frame 3 of the strip
  Placement captionAt;

  static FrameContent Make();
};

}  // namespace frame_bench
