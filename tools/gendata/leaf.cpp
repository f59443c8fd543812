// The leaf tile: a pale, broad blade pointing left with a dark rim, light veins toward the
// rim and a short stalk on the right. The middle stays light and calm, because a 21-pixel
// character is drawn there in black or red.
#include <algorithm>
#include <cmath>
#include <numbers>

#include "shape.h"
#include "sprites.h"

namespace gendata {
namespace {

constexpr float kTipX = 0.6f;
constexpr float kBaseX = 42.6f;
constexpr float kMidY = 15.0f;
constexpr float kHalfHeight = 13.7f;

// Half the blade's height at x: a full superellipse that narrows to a blunt point at the
// tip and swells a little toward the stalk, as an ovate leaf does.
float HalfHeight(float x) {
  const float u = std::clamp((x - (kTipX + kBaseX) / 2) / ((kBaseX - kTipX) / 2), -1.0f, 1.0f);
  const float round = std::pow(std::max(0.0f, 1.0f - std::pow(std::abs(u), 2.4f)), 1.0f / 2.4f);
  const float point = 2.3f * std::pow(1.0f + u, 1.3f);
  // Polynomial smooth minimum of the two, blending over 0.25.
  const float k = 0.25f;
  const float h = std::clamp(0.5f + 0.5f * (point - round) / k, 0.0f, 1.0f);
  const float blended = round * h + point * (1 - h) - k * h * (1 - h);
  return kHalfHeight * blended * (1.0f + 0.05f * u);
}

Polygon BladeOutline() {
  std::vector<Point> points;
  for (float x = kTipX; x <= kBaseX + 1e-3f; x += 0.25f)
    points.push_back({x, kMidY - HalfHeight(x)});
  for (float x = kBaseX; x >= kTipX - 1e-3f; x -= 0.25f)
    points.push_back({x, kMidY + HalfHeight(x)});
  return Polygon(std::move(points));
}

}  // namespace

MaskedPicture DrawLeaf() {
  MaskedPicture out{Canvas(kLeafWidth, kLeafHeight), std::vector<bool>(kLeafWidth * kLeafHeight)};
  const Polygon blade = BladeOutline();
  const Rgb rim = FromBytes(46, 104, 36);
  const Rgb outer = FromBytes(118, 182, 72);
  const Rgb pale = FromBytes(228, 244, 194);
  const Rgb midrib = FromBytes(150, 198, 104);
  const Rgb sideVein = FromBytes(206, 234, 160);
  const Rgb stalk = FromBytes(128, 140, 52);

  for (int y = 0; y < kLeafHeight; ++y)
    for (int x = 0; x < kLeafWidth; ++x) {
      const float px = x + 0.5f, py = y + 0.5f;
      const float d = blade.SignedDistance(px, py);
      const float stalkDist =
          SegmentDistance(px, py, kBaseX - 1.0f, kMidY, kLeafWidth - 1.0f, kMidY + 2.2f);
      if (d >= 0) {
        if (stalkDist < 1.45f) {
          out.colour.at(x, y) = Mix(stalk, rim, Smoothstep(0.5f, 1.4f, stalkDist));
          out.opaque[static_cast<std::size_t>(y) * kLeafWidth + x] = true;
        }
        continue;
      }
      const float e = -d;
      // Body: mid green near the edge, pale toward the middle, lit from the upper left.
      Rgb c = Mix(outer, pale, Smoothstep(1.6f, 7.5f, e));
      const float light = 0.5f - 0.5f * ((py - kMidY) / kHalfHeight + (px - 21.0f) / 42.0f);
      c = Mix(c, FromBytes(248, 255, 226), 0.18f * Clamp01(light) * Smoothstep(2.0f, 6.0f, e));
      // Side veins run from the midrib toward the tip; they show only in the outer band.
      for (float vx : {9.0f, 16.5f, 24.0f, 31.5f, 38.5f}) {
        for (float side : {-1.0f, 1.0f}) {
          const float ex = vx - 8.0f, ey = kMidY + side * 11.5f;
          const float vd = SegmentDistance(px, py, vx, kMidY, ex, ey);
          const float show = (1 - Smoothstep(0.35f, 0.95f, vd)) * (1 - Smoothstep(2.6f, 5.5f, e));
          c = Mix(c, sideVein, 0.75f * show);
        }
      }
      // Midrib: clear at both ends, faint where the character sits.
      if (px < kBaseX) {
        const float md = std::abs(py - kMidY);
        const float faint =
            0.55f - 0.38f * Smoothstep(4.0f, 10.0f, px) * (1 - Smoothstep(29.0f, 34.0f, px));
        c = Mix(c, midrib, faint * (1 - Smoothstep(0.3f, 0.95f, md)));
      }
      // A faint grain so the blade does not look flat.
      c = c * (0.985f + 0.03f * Fbm(px * 0.45f, py * 0.9f, 3, 7u));
      // Rim, blended into the body over a pixel so only the outer edge is hard.
      c = Mix(rim, c, Smoothstep(0.9f, 1.9f, e));
      out.colour.at(x, y) = c;
      out.opaque[static_cast<std::size_t>(y) * kLeafWidth + x] = true;
    }
  return out;
}

}  // namespace gendata
