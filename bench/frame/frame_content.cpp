#include "frame_content.h"

#include <cmath>

namespace frame_bench {
namespace {

uint32_t Hash(uint32_t x) {
  x ^= x >> 16;
  x *= 0x7feb352dU;
  x ^= x >> 15;
  x *= 0x846ca68bU;
  x ^= x >> 16;
  return x;
}

Picture Make(int w, int h, uint32_t (*fill)(int, int, int, int)) {
  Picture p{w, h, std::vector<uint32_t>(static_cast<size_t>(w) * static_cast<size_t>(h))};
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) p.pixels[static_cast<size_t>(y * w + x)] = fill(x, y, w, h);
  }
  return p;
}

// Text-like coverage: strokes with soft edges, so that glyph pixels are partly 0, partly
// 255 and partly in between, as rasterised text is.
uint32_t Coverage(int x, int y, int seed) {
  const uint32_t h = Hash(static_cast<uint32_t>(x / 3 + 97 * (y / 3) + 7919 * seed));
  if ((h & 3) == 0) return 0xFFFFFFFF;
  if ((h & 3) == 1) return ((h >> 8) & 0xFF) << 24 | 0xFFFFFF;
  return 0x00FFFFFF;
}

}  // namespace

FrameContent FrameContent::Make() {
  FrameContent c;
  c.wallpaper = frame_bench::Make(1024, 768, [](int x, int y, int, int) {
    const uint32_t r = static_cast<uint32_t>(x / 4) & 255, g = static_cast<uint32_t>(y / 3) & 255;
    const uint32_t b = Hash(static_cast<uint32_t>(x * 1031 + y)) & 63;
    return 0xFF000000u | r << 16 | g << 8 | b;
  });
  c.header = frame_bench::Make(640, 120, [](int x, int y, int, int) {
    const bool solid = (x / 40 + y / 30) % 3 != 0;
    return solid ? 0xFF000000u | (Hash(static_cast<uint32_t>(x + 640 * y)) & 0xFFFFFF)
                 : 0x00FFFFFFu;
  });
  c.tile = frame_bench::Make(44, 30, [](int x, int y, int w, int h) {
    const double dx = (x + 0.5 - w / 2.0) / (w / 2.0), dy = (y + 0.5 - h / 2.0) / (h / 2.0);
    return dx * dx + dy * dy <= 1.15 ? 0xFF30A040u + static_cast<uint32_t>(x) : 0x00000000u;
  });
  for (int i = 0; i < 10; ++i) {
    Picture g{21, 21, std::vector<uint32_t>(21 * 21)};
    for (int y = 0; y < 21; ++y) {
      for (int x = 0; x < 21; ++x) g.pixels[static_cast<size_t>(y * 21 + x)] = Coverage(x, y, i);
    }
    c.glyphs.push_back(g);
  }
  for (int i = 0; i < 4; ++i) {
    Picture g{37, 37, std::vector<uint32_t>(37 * 37)};
    for (int y = 0; y < 37; ++y) {
      for (int x = 0; x < 37; ++x)
        g.pixels[static_cast<size_t>(y * 37 + x)] = Coverage(x, y, 100 + i);
    }
    c.bigGlyphs.push_back(g);
  }
  c.panel = {400, 20, std::vector<uint32_t>(400 * 20)};
  for (int y = 0; y < 20; ++y) {
    for (int x = 0; x < 400; ++x)
      c.panel.pixels[static_cast<size_t>(y * 400 + x)] = Coverage(x, y, 200);
  }
  c.caption = {300, 20, std::vector<uint32_t>(300 * 20)};
  for (int y = 0; y < 20; ++y) {
    for (int x = 0; x < 300; ++x)
      c.caption.pixels[static_cast<size_t>(y * 300 + x)] = Coverage(x, y, 300);
  }
  c.strip = frame_bench::Make(384, 36, [](int x, int y, int, int) {
    return ((x % 48) - 24) * ((x % 48) - 24) + (y - 18) * (y - 18) < 300 ? 0xFFE0C020u
                                                                         : 0x00000000u;
  });

  for (int row = 0; row < 9; ++row) {
    for (int col = 0; col < 9; ++col) {
      const int x = 73 + 54 * col, y = 129 + 36 * row;
      c.tiles.push_back({x, y, 0, 0xFFFFFFFF});
      if (row == 4 && col == 4) continue;  // the walker's free square
      const int n = static_cast<int>(c.glyphQuads.size());
      c.glyphQuads.push_back({x + 11, y + 4, n % 10, n % 7 == 0 ? 0xFFFF0000u : 0xFF000000u});
    }
  }
  for (int k = 0; k < 4; ++k) c.bigGlyphQuads.push_back({20 + 50 * k, 20, k, 0xFF000000u});
  c.panels = {{120, 60, 0, 0x60000000u}, {120, 90, 0, 0x60000000u}};
  c.sprite = {73 + 54 * 4 - 2, 129 + 36 * 4 - 4, 3, 0xFFFFFFFF};
  c.captionAt = {170, 452, 0, 0xFFFFFFFF};
  return c;
}

}  // namespace frame_bench
