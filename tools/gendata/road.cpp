// The road across the top: a pale sandy path between two grass verges. Its middle, where
// the answer characters, the meaning and the reading stand, is light and almost flat; the
// grass below ends in tufts, and everything under them is transparent.
#include <algorithm>
#include <cmath>

#include "sprites.h"

namespace gendata {
namespace {

// Lower edge of the sand at column x, and of the grass below it.
float SandBottom(float x) {
  return 104.5f + 2.2f * std::sin(x * 0.021f + 0.7f) + 1.6f * std::sin(x * 0.057f + 2.1f);
}
float GrassBottom(float x) {
  // Tufts: a rounded bump every 9 to 14 pixels, of varied depth.
  const float cell = 11.0f;
  const float i = std::floor(x / cell);
  const float centre = (i + 0.3f + 0.4f * Hash01(static_cast<int>(i), 0, 21u)) * cell;
  const float depth = 2.5f + 4.0f * Hash01(static_cast<int>(i), 1, 21u);
  const float w = (x - centre) / (cell * 0.42f);
  const float bump = depth * std::max(0.0f, 1.0f - w * w);
  return SandBottom(x) + 9.0f + bump;
}
float SandTop(float x) {
  return 7.0f + 1.5f * std::sin(x * 0.027f + 2.4f) + 1.0f * std::sin(x * 0.071f);
}

}  // namespace

MaskedPicture DrawRoad() {
  MaskedPicture out{Canvas(kRoadWidth, kRoadHeight), std::vector<bool>(kRoadWidth * kRoadHeight)};
  const Rgb sandLight = FromBytes(243, 233, 206);
  const Rgb sandEdge = FromBytes(214, 192, 148);
  const Rgb grassLight = FromBytes(132, 188, 84);
  const Rgb grassDark = FromBytes(76, 138, 56);
  const Rgb grassRim = FromBytes(52, 108, 42);

  for (int y = 0; y < kRoadHeight; ++y)
    for (int x = 0; x < kRoadWidth; ++x) {
      const float px = x + 0.5f, py = y + 0.5f;
      const float top = SandTop(px), bottom = SandBottom(px), grassEnd = GrassBottom(px);
      if (py >= grassEnd) continue;  // transparent
      // Sand: lighter in the middle of the path, darker toward both verges, faintly mottled.
      const float across = Clamp01((py - top) / (bottom - top));
      const float edge = std::min(across, 1 - across);
      Rgb sand = Mix(sandEdge, sandLight, Smoothstep(0.0f, 0.3f, edge));
      sand = sand * (0.975f + 0.045f * Fbm(px * 0.05f, py * 0.09f, 4, 3u));
      // Grass: vertical streaks of light and dark blades.
      const float streak = Fbm(px * 0.55f, py * 0.08f, 3, 5u);
      Rgb grass = Mix(grassDark, grassLight, Smoothstep(0.3f, 0.75f, streak));
      Rgb c;
      if (py < top + 1.0f || py > bottom - 1.0f) {
        const float dist = py < top + 1.0f ? top - py : py - bottom;  // >0 inside the grass
        c = Mix(sand, grass, Smoothstep(-1.0f, 1.0f, dist));
        if (py > bottom) {
          // The lower verge darkens toward its tufts, whose edge is a dark line.
          c = Mix(c, grassDark, 0.35f * Clamp01((py - bottom) / (grassEnd - bottom)));
          c = Mix(c, grassRim, 1 - Smoothstep(0.6f, 1.6f, grassEnd - py));
        }
      } else {
        c = sand;
      }
      out.colour.at(x, y) = c;
      out.opaque[static_cast<std::size_t>(y) * kRoadWidth + x] = true;
    }

  // Pebbles: a few small, soft stones near the verges, none in the middle of the path.
  for (int i = 0; i < 46; ++i) {
    const float x = 640.0f * Hash01(i, 0, 11u);
    const bool nearTop = Hash01(i, 1, 11u) < 0.5f;
    const float y = nearTop ? SandTop(x) + 3.0f + 5.0f * Hash01(i, 2, 11u)
                            : SandBottom(x) - 3.0f - 5.0f * Hash01(i, 2, 11u);
    const float r = 0.9f + 1.1f * Hash01(i, 3, 11u);
    const Rgb stone = Mix(FromBytes(186, 170, 142), FromBytes(204, 196, 182), Hash01(i, 4, 11u));
    out.colour.Disc(x + 0.4f, y + 0.5f, r, FromBytes(170, 150, 112), 0.5f);  // shadow
    out.colour.Disc(x, y, r, stone, 0.95f);
    out.colour.Disc(x - r * 0.3f, y - r * 0.35f, r * 0.4f, FromBytes(236, 230, 218), 0.6f);
  }
  // Small flowers in the grass: white and yellow dots with a warm centre.
  for (int i = 0; i < 70; ++i) {
    const float x = 640.0f * Hash01(i, 0, 13u);
    const bool upper = Hash01(i, 1, 13u) < 0.3f;
    const float y = upper ? SandTop(x) - 2.0f - 3.0f * Hash01(i, 2, 13u)
                          : SandBottom(x) + 3.0f + 6.0f * Hash01(i, 2, 13u);
    if (y < 1.5f || y > GrassBottom(x) - 2.5f) continue;
    const Rgb petal =
        Hash01(i, 3, 13u) < 0.5f ? FromBytes(250, 250, 240) : FromBytes(250, 226, 110);
    out.colour.Disc(x, y, 1.3f, petal, 0.95f);
    out.colour.Disc(x, y, 0.5f, FromBytes(236, 150, 60), 0.8f);
  }
  return out;
}

}  // namespace gendata
