// The leaf tile: a broad leaf with a short drawn-out tip on the left and its stalk on the
// right. The midrib bows a little, the upper half is wider than the lower, and the lower
// half widens later from the stalk, so the leaf is not a mirror image of itself. A dark
// rim and a deep green band keep its outline clear on light green hills, orange ground and
// a night sky alike; the middle, where a 21-pixel character is drawn in black or red, is
// pale and calm, and the veins show only in the outer band.
#include <algorithm>
#include <array>
#include <cmath>

#include "shape.h"
#include "sprites.h"

namespace gendata {
namespace {

// Midrib: a quadratic curve from the base (t = 0) to the tip (t = 1).
constexpr Point kBase{41.5f, 15.6f};
constexpr Point kBend{21.0f, 17.6f};
constexpr Point kTip{0.6f, 12.2f};
constexpr float kUpperHalf = 13.2f;
constexpr float kLowerHalf = 11.8f;
// The lower half reaches its width later along the midrib: the base is oblique.
constexpr float kLowerLag = 1.25f;

Point Midrib(float t) {
  const float u = 1 - t;
  return {u * u * kBase.x + 2 * u * t * kBend.x + t * t * kTip.x,
          u * u * kBase.y + 2 * u * t * kBend.y + t * t * kTip.y};
}

// Unit normal of the midrib pointing to the upper half (toward smaller y).
Point UpperNormal(float t) {
  const float tx = 2 * (1 - t) * (kBend.x - kBase.x) + 2 * t * (kTip.x - kBend.x);
  const float ty = 2 * (1 - t) * (kBend.y - kBase.y) + 2 * t * (kTip.y - kBend.y);
  const float len = std::hypot(tx, ty);
  return {ty / len, -tx / len};  // the midrib runs right to left, so this turns to the top
}

// Width profile, 0..1 along the midrib: a rounded base, the widest part just before the
// middle, and a tip whose sides curve inward before they meet.
float Profile(float t) {
  static constexpr std::array<Point, 11> kKnots{{{0.00f, 0.00f},
                                                 {0.03f, 0.38f},
                                                 {0.10f, 0.68f},
                                                 {0.22f, 0.91f},
                                                 {0.38f, 1.00f},
                                                 {0.55f, 0.97f},
                                                 {0.70f, 0.85f},
                                                 {0.80f, 0.65f},
                                                 {0.88f, 0.38f},
                                                 {0.95f, 0.12f},
                                                 {1.00f, 0.00f}}};
  t = Clamp01(t);
  std::size_t i = 1;
  while (i + 1 < kKnots.size() && kKnots[i].x < t) ++i;
  const Point& a = kKnots[i - 1];
  const Point& b = kKnots[i];
  // Cubic Hermite with slopes from the neighbouring knots, so the outline has no corners.
  const auto slope = [&](std::size_t k) {
    const Point& p = kKnots[k == 0 ? 0 : k - 1];
    const Point& q = kKnots[std::min(k + 1, kKnots.size() - 1)];
    return (q.y - p.y) / (q.x - p.x);
  };
  const float h = b.x - a.x, s = (t - a.x) / h;
  const float s2 = s * s, s3 = s2 * s;
  return std::max(0.0f, (2 * s3 - 3 * s2 + 1) * a.y + (s3 - 2 * s2 + s) * h * slope(i - 1) +
                            (-2 * s3 + 3 * s2) * b.y + (s3 - s2) * h * slope(i));
}

Polygon BladeOutline() {
  std::vector<Point> points;
  constexpr int kSteps = 160;
  for (int i = 0; i <= kSteps; ++i) {  // upper edge, base to tip
    const float t = static_cast<float>(i) / kSteps;
    const Point m = Midrib(t), n = UpperNormal(t);
    const float w = kUpperHalf * Profile(t);
    points.push_back({m.x + n.x * w, m.y + n.y * w});
  }
  for (int i = kSteps; i >= 0; --i) {  // lower edge, tip back to base
    const float t = static_cast<float>(i) / kSteps;
    const Point m = Midrib(t), n = UpperNormal(t);
    const float w = kLowerHalf * Profile(std::pow(t, kLowerLag));
    points.push_back({m.x - n.x * w, m.y - n.y * w});
  }
  return Polygon(std::move(points));
}

// Distance to the midrib and the position along it (t) of the nearest point.
std::pair<float, float> NearestOnMidrib(float px, float py) {
  float best = 1e9f, bestT = 0;
  constexpr int kSteps = 48;
  Point last = Midrib(0);
  for (int i = 1; i <= kSteps; ++i) {
    const float t = static_cast<float>(i) / kSteps;
    const Point p = Midrib(t);
    const float d = SegmentDistance(px, py, last.x, last.y, p.x, p.y);
    if (d < best) best = d, bestT = t;
    last = p;
  }
  return {best, bestT};
}

// Side veins leave the midrib in turn on either side and curve out toward the tip.
struct Vein {
  float t;     // where it leaves the midrib
  float side;  // +1 upper half, -1 lower half
};
constexpr std::array<Vein, 8> kVeins{{{0.14f, 1},
                                      {0.24f, -1},
                                      {0.33f, 1},
                                      {0.43f, -1},
                                      {0.52f, 1},
                                      {0.62f, -1},
                                      {0.70f, 1},
                                      {0.79f, -1}}};

float VeinDistance(const Vein& v, float px, float py) {
  const Point start = Midrib(v.t);
  const Point along = Midrib(std::min(1.0f, v.t + 0.24f));
  const Point n = UpperNormal(std::min(1.0f, v.t + 0.12f));
  const float reach = (v.side > 0 ? kUpperHalf : kLowerHalf) * 1.1f;
  const Point end{along.x + n.x * v.side * reach, along.y + n.y * v.side * reach};
  const Point mid{Lerp(start.x, end.x, 0.5f) + n.x * v.side * 1.2f - 1.5f,
                  Lerp(start.y, end.y, 0.5f) + n.y * v.side * 1.2f};
  return std::min(SegmentDistance(px, py, start.x, start.y, mid.x, mid.y),
                  SegmentDistance(px, py, mid.x, mid.y, end.x, end.y));
}

}  // namespace

MaskedPicture DrawLeaf() {
  MaskedPicture out{Canvas(kLeafWidth, kLeafHeight), std::vector<bool>(kLeafWidth * kLeafHeight)};
  const Polygon blade = BladeOutline();
  const Rgb outline = FromBytes(30, 80, 30);
  const Rgb band = FromBytes(62, 138, 46);
  const Rgb body = FromBytes(128, 192, 78);
  const Rgb pale = FromBytes(234, 246, 204);
  const Rgb vein = FromBytes(196, 230, 138);
  const Rgb midribLight = FromBytes(190, 226, 128);
  const Rgb stalk = FromBytes(112, 120, 44);

  for (int y = 0; y < kLeafHeight; ++y)
    for (int x = 0; x < kLeafWidth; ++x) {
      const float px = x + 0.5f, py = y + 0.5f;
      const float d = blade.SignedDistance(px, py);
      const std::size_t index = static_cast<std::size_t>(y) * kLeafWidth + x;
      if (d >= 0) {
        const float stalkDist =
            SegmentDistance(px, py, kBase.x - 1.0f, kBase.y, kLeafWidth - 0.8f, kBase.y + 2.6f);
        if (stalkDist < 1.3f) {
          out.colour.at(x, y) =
              Mix(FromBytes(150, 150, 60), stalk, Smoothstep(0.2f, 1.2f, stalkDist));
          out.opaque[index] = true;
        }
        continue;
      }
      const float e = -d;  // depth inside the blade
      const auto [md, t] = NearestOnMidrib(px, py);
      const Point n = UpperNormal(t), m = Midrib(t);
      const bool upper = (px - m.x) * n.x + (py - m.y) * n.y > 0;

      // Deep green at the edge, pale inside; the lower half a shade cooler and darker, as
      // if the leaf were folded a little along its midrib.
      // The pale part is an oval around the character's box (21 pixels at 9, 4), so the
      // tip and the base keep the leaf's green.
      const float box = std::hypot((px - 19.5f) / 14.5f, (py - 14.8f) / 12.5f);
      Rgb c = Mix(band, body, Smoothstep(1.2f, 3.0f, e));
      c = Mix(c, pale, Smoothstep(2.2f, 5.0f, e) * (1 - Smoothstep(0.66f, 1.02f, box)));
      if (!upper) c = Mix(c, FromBytes(96, 160, 84), 0.10f * (1 - Smoothstep(3.0f, 6.0f, e)));
      // Veins, only in the outer band so the middle stays calm.
      float vd = 1e9f;
      for (const Vein& v : kVeins)
        if ((v.side > 0) == upper) vd = std::min(vd, VeinDistance(v, px, py));
      const float veinShow = (1 - Smoothstep(0.3f, 0.9f, vd)) * (1 - Smoothstep(3.0f, 4.6f, e));
      c = Mix(c, vein, 0.8f * veinShow);
      // Midrib: clear toward the stalk and the tip, barely there under the character.
      const float clear = 1 - Smoothstep(0.16f, 0.30f, t) * (1 - Smoothstep(0.70f, 0.82f, t));
      const float rib = 1 - Smoothstep(0.35f, 0.95f, md);
      c = Mix(c, midribLight, rib * (0.35f + 0.55f * clear));
      c = Mix(c, band, 0.5f * rib * clear * Smoothstep(0.82f, 0.95f, t));
      // A faint grain so the blade does not look flat.
      c = c * (0.985f + 0.03f * Fbm(px * 0.45f, py * 0.9f, 3, 7u));
      // The rim: one dark pixel all round.
      c = Mix(outline, c, Smoothstep(0.55f, 1.35f, e));
      out.colour.at(x, y) = c;
      out.opaque[index] = true;
    }
  return out;
}

}  // namespace gendata
