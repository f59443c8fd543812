#include "wallpapers.h"

#include <algorithm>
#include <cmath>

#include "flora.h"

namespace gendata {
namespace {

constexpr int W = kWallpaperWidth;
constexpr int H = kWallpaperHeight;

// Fills every pixel with a vertical gradient from `top` (y = 0) to `bottom` (y = H).
void VerticalGradient(Canvas& c, Rgb top, Rgb bottom) {
  for (int y = 0; y < H; ++y) {
    const Rgb row = Mix(top, bottom, static_cast<float>(y) / (H - 1));
    for (int x = 0; x < W; ++x) c.at(x, y) = row;
  }
}

// A layer of land below the ridge line `ridge(x)`, its colour from `near` at the ridge to
// `far` `depth` pixels lower; the ridge edge is anti-aliased over a pixel.
template <typename Ridge>
void Land(Canvas& c, Ridge ridge, Rgb atRidge, Rgb below, float depth, std::uint32_t seed,
          float grain) {
  for (int x = 0; x < W; ++x) {
    const float top = ridge(x + 0.5f);
    for (int y = std::max(0, static_cast<int>(top) - 1); y < H; ++y) {
      const float cover = Clamp01(y + 0.5f - top + 0.5f);
      Rgb col = Mix(atRidge, below, Clamp01((y - top) / depth));
      col = col * (1.0f - grain + 2 * grain * Fbm(x * 0.03f, y * 0.06f, 4, seed));
      c.Blend(x, y, col, cover);
    }
  }
}

// Soft clouds: stretched noise above a threshold, whiter at their tops.
void Clouds(Canvas& c, float yFrom, float yTo, float amount, Rgb colour, std::uint32_t seed) {
  for (int y = static_cast<int>(yFrom); y < static_cast<int>(yTo); ++y)
    for (int x = 0; x < W; ++x) {
      const float n = Fbm(x * 0.006f, y * 0.018f, 5, seed);
      const float band = Smoothstep(yFrom, yFrom + 40, static_cast<float>(y)) *
                         (1 - Smoothstep(yTo - 60, yTo, static_cast<float>(y)));
      c.Blend(x, y, colour, amount * band * Smoothstep(0.52f, 0.72f, n));
    }
}

// Breaks up the bands a smooth gradient leaves after 8-bit rounding.
void Dither(Canvas& c, std::uint32_t seed) {
  for (int y = 0; y < H; ++y)
    for (int x = 0; x < W; ++x) {
      const float d = (Hash01(x, y, seed) - 0.5f) / 255.0f;
      c.at(x, y) = c.at(x, y) + Rgb{d, d, d};
    }
}

}  // namespace

Canvas DrawSpringHills() {
  Canvas c(W, H);
  VerticalGradient(c, FromBytes(146, 192, 232), FromBytes(236, 240, 236));
  Clouds(c, 100, 300, 0.75f, FromBytes(252, 252, 250), 31u);
  // Far hills in haze, then two nearer rolling hills.
  Land(
      c,
      [](float x) {
        return 250 + 22 * std::sin(x * 0.011f + 1.0f) + 18 * Fbm(x * 0.01f, 0.5f, 3, 41u);
      },
      FromBytes(186, 214, 204), FromBytes(178, 210, 178), 80, 43u, 0.02f);
  // Small cherries along the far ridge, in haze.
  for (int i = 0; i < 9; ++i) {
    const float x = 30 + 70.0f * i + 25 * Hash01(i, 0, 51u);
    const float ridge = 250 + 22 * std::sin(x * 0.011f + 1.0f) + 18 * Fbm(x * 0.01f, 0.5f, 3, 41u);
    Tree(c, CherryLook(), x, ridge + 6, 9 + 4 * Hash01(i, 1, 51u), 60u + i,
         FromBytes(214, 222, 226), 0.35f);
  }
  Land(
      c, [](float x) { return 318 + 30 * std::sin(x * 0.008f + 2.2f) + 10 * std::sin(x * 0.023f); },
      FromBytes(182, 216, 132), FromBytes(156, 200, 112), 120, 47u, 0.03f);
  Land(
      c,
      [](float x) {
        return 392 + 26 * std::sin(x * 0.0065f + 4.1f) + 8 * std::sin(x * 0.019f + 1.0f);
      },
      FromBytes(160, 206, 110), FromBytes(132, 186, 92), 100, 53u, 0.035f);
  // Two large cherries at the sides, framing the middle of the screen.
  Tree(c, CherryLook(), 22, 440, 52, 71u, Rgb{}, 0.0f);
  Tree(c, CherryLook(), 622, 420, 46, 73u, Rgb{}, 0.0f);
  // Meadow flowers on the nearest hill and a few petals in the air.
  for (int i = 0; i < 260; ++i) {
    const float x = W * Hash01(i, 0, 57u);
    const float ridge = 392 + 26 * std::sin(x * 0.0065f + 4.1f) + 8 * std::sin(x * 0.019f + 1.0f);
    const float y = ridge + 6 + (H - ridge) * Hash01(i, 1, 57u);
    const float k = Hash01(i, 2, 57u);
    const Rgb f = k < 0.4f    ? FromBytes(252, 250, 240)
                  : k < 0.75f ? FromBytes(250, 224, 110)
                              : FromBytes(244, 184, 204);
    c.Disc(x, y, 1.2f + 0.8f * Hash01(i, 3, 57u) * (y - ridge) / 80.0f, f, 0.8f);
  }
  // Petals on the wind, larger the nearer they are.
  for (int i = 0; i < 40; ++i) {
    const float near = Hash01(i, 2, 59u);
    Petal(c, W * Hash01(i, 0, 59u), 120 + 320 * Hash01(i, 1, 59u), 6.0f + 5.0f * near,
          6.2831853f * Hash01(i, 3, 59u), FromBytes(250, 196, 214), 0.85f + 0.15f * near);
  }
  Dither(c, 61u);
  return c;
}

Canvas DrawAutumnMaples() {
  Canvas c(W, H);
  VerticalGradient(c, FromBytes(176, 206, 228), FromBytes(250, 230, 200));
  Clouds(c, 80, 260, 0.55f, FromBytes(255, 246, 232), 71u);
  Land(
      c,
      [](float x) {
        return 232 + 30 * std::sin(x * 0.009f + 0.4f) + 22 * Fbm(x * 0.012f, 2.5f, 3, 73u);
      },
      FromBytes(184, 170, 190), FromBytes(196, 180, 184), 90, 75u, 0.02f);
  // A far row of maples, smaller and hazier, then a nearer row.
  for (int row = 0; row < 2; ++row) {
    const int count = row == 0 ? 13 : 7;
    const float base = row == 0 ? 300.0f : 372.0f;
    const float size = row == 0 ? 20.0f : 36.0f;
    const float haze = row == 0 ? 0.35f : 0.0f;
    const Rgb hazeColour = FromBytes(236, 214, 200);
    for (int i = 0; i < count; ++i) {
      const float x = (i + 0.5f) * W / count + 22 * (Hash01(i, row, 81u) - 0.5f);
      const float r = size * (0.8f + 0.4f * Hash01(i, row + 5, 81u));
      Tree(c, MapleLook(Hash01(i, row + 9, 81u)), x, base + 6, r,
           90u + static_cast<std::uint32_t>(i + 20 * row), hazeColour, haze);
    }
    if (row == 0)
      Land(
          c, [](float x) { return 318 + 12 * std::sin(x * 0.01f + 1.3f); },
          FromBytes(206, 178, 110), FromBytes(196, 160, 96), 80, 85u, 0.03f);
  }
  // The ground in front, strewn with fallen leaves.
  Land(
      c, [](float x) { return 380 + 10 * std::sin(x * 0.012f + 0.2f); }, FromBytes(214, 170, 100),
      FromBytes(190, 140, 84), 100, 87u, 0.04f);
  const auto leafColour = [](float k) {
    return k < 0.35f  ? FromBytes(204, 70, 44)
           : k < 0.7f ? FromBytes(228, 134, 52)
                      : FromBytes(236, 188, 80);
  };
  for (int i = 0; i < 420; ++i) {
    const float x = W * Hash01(i, 0, 89u);
    const float y = 384 + 96 * Hash01(i, 1, 89u);
    MapleLeaf(c, x, y, 2.5f + 4.5f * (y - 380) / 100.0f, 6.2831853f * Hash01(i, 3, 89u),
              leafColour(Hash01(i, 2, 89u)), 0.6f);
  }
  // Leaves drifting down, larger the nearer they are.
  for (int i = 0; i < 26; ++i) {
    const float near = Hash01(i, 2, 91u);
    MapleLeaf(c, W * Hash01(i, 0, 91u), 110 + 260 * Hash01(i, 1, 91u), 6.0f + 4.0f * near,
              6.2831853f * Hash01(i, 3, 91u), leafColour(Hash01(i, 4, 91u)), 0.9f);
  }
  Dither(c, 93u);
  return c;
}

Canvas DrawMoonlitNight() {
  Canvas c(W, H);
  VerticalGradient(c, FromBytes(10, 18, 48), FromBytes(46, 66, 112));
  const float moonX = 604, moonY = 176, moonR = 27;
  // Stars: many faint, few bright, none in the moon's glow.
  for (int i = 0; i < 420; ++i) {
    const float x = W * Hash01(i, 0, 101u), y = 380 * Hash01(i, 1, 101u);
    const float glow = std::hypot(x - moonX, y - moonY);
    if (glow < moonR * 2.6f) continue;
    const float b = Hash01(i, 2, 101u);
    const float bright = 0.25f + 0.65f * b * b * b;
    c.Disc(x, y, 0.6f + 0.7f * b * b, FromBytes(236, 240, 255), bright);
  }
  // A faint band of high cloud lit from the side.
  Clouds(c, 120, 320, 0.18f, FromBytes(120, 140, 190), 103u);
  // The moon's halo, then the disc with soft grey seas.
  for (int y = 0; y < H; ++y)
    for (int x = 0; x < W; ++x) {
      const float d = std::hypot(x + 0.5f - moonX, y + 0.5f - moonY);
      if (d > moonR)
        c.Blend(x, y, FromBytes(200, 210, 236), 0.42f * std::exp(-(d - moonR) / 38.0f));
    }
  for (int y = static_cast<int>(moonY - moonR - 2); y <= static_cast<int>(moonY + moonR + 2); ++y)
    for (int x = static_cast<int>(moonX - moonR - 2); x <= static_cast<int>(moonX + moonR + 2);
         ++x) {
      const float d = std::hypot(x + 0.5f - moonX, y + 0.5f - moonY);
      const float cover = Clamp01(moonR - d + 0.5f);
      const float seas = Smoothstep(0.5f, 0.7f, Fbm(x * 0.09f, y * 0.09f, 3, 107u));
      Rgb col = Mix(FromBytes(252, 248, 226), FromBytes(222, 220, 206), 0.7f * seas);
      col = Mix(col, FromBytes(236, 228, 196), Smoothstep(moonR * 0.6f, moonR, d) * 0.5f);
      c.Blend(x, y, col, cover);
    }
  // Hills in layers of night blue, the nearer the darker.
  Land(
      c,
      [](float x) {
        return 300 + 26 * std::sin(x * 0.010f + 2.0f) + 16 * Fbm(x * 0.012f, 4.5f, 3, 109u);
      },
      FromBytes(44, 60, 96), FromBytes(36, 50, 84), 90, 111u, 0.03f);
  Land(
      c, [](float x) { return 356 + 22 * std::sin(x * 0.008f + 0.5f) + 8 * std::sin(x * 0.027f); },
      FromBytes(30, 44, 74), FromBytes(24, 36, 62), 90, 113u, 0.03f);
  // A still lake at the bottom, with the moon's path of light on it.
  for (int y = 420; y < H; ++y)
    for (int x = 0; x < W; ++x) {
      const float shore = 420 + 4 * std::sin(x * 0.02f);
      if (y + 0.5f < shore) continue;
      Rgb water = Mix(FromBytes(32, 46, 84), FromBytes(20, 30, 58), (y - 420) / 60.0f);
      const float ripple = Fbm(x * 0.02f, y * 0.5f, 3, 117u);
      const float path =
          std::exp(-std::pow((x + 0.5f - moonX) / 22.0f, 2.0f)) * Smoothstep(0.45f, 0.7f, ripple);
      water = Mix(water, FromBytes(220, 218, 196), 0.6f * path);
      c.Blend(x, y, water, Clamp01(y + 0.5f - shore + 0.5f));
    }
  // Fireflies over the near hill: a few warm, soft points.
  for (int i = 0; i < 14; ++i) {
    const float x = W * Hash01(i, 0, 119u), y = 360 + 55 * Hash01(i, 1, 119u);
    c.Disc(x, y, 3.5f, FromBytes(230, 240, 140), 0.18f, 4.0f);
    c.Disc(x, y, 0.9f, FromBytes(250, 252, 200), 0.85f);
  }
  Dither(c, 121u);
  return c;
}

}  // namespace gendata
