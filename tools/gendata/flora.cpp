#include "flora.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace gendata {
namespace {

struct Limb {
  float ax, ay, bx, by;  // from the fork below to the fork above
  float ra, rb;          // radius at each end
};

// Limbs fork two or three ways, shorter and thinner each time; `angle` 0 is straight up.
void Grow(std::vector<Limb>& limbs, std::vector<Point>& ends, const TreeLook& look, float x,
          float y, float angle, float length, float radius, int depth, std::uint32_t seed,
          std::int32_t id) {
  const float ex = x + std::sin(angle) * length, ey = y - std::cos(angle) * length;
  const float rEnd = radius * 0.66f;
  limbs.push_back({x, y, ex, ey, radius, rEnd});
  if (depth == 0) {
    ends.push_back({ex, ey});
    return;
  }
  const int forks = Hash01(id, 1, seed) < 0.35f ? 3 : 2;
  for (int k = 0; k < forks; ++k) {
    const float side = static_cast<float>(k) - (forks - 1) / 2.0f;
    const float turn = side * look.spread * (0.7f + 0.6f * Hash01(id, 2 + k, seed)) +
                       0.35f * (Hash01(id, 5 + k, seed) - 0.5f);
    // Limbs bend back toward upright as they climb, the way a crown fills out above.
    const float next = angle * 0.75f + turn;
    const float len = length * (0.64f + 0.18f * Hash01(id, 8 + k, seed));
    Grow(limbs, ends, look, ex, ey, next, len, rEnd * (forks == 3 ? 0.85f : 0.95f), depth - 1, seed,
         id * 3 + k + 1);
  }
}

// Paints pixels whose local shape distance (negative inside) is given by `shape(u, v)`,
// with u along the shape's axis turned by `angle` and v across it.
template <typename Shape, typename Colour>
void Stamp(Canvas& c, float x, float y, float reach, float angle, float alpha, Shape shape,
           Colour colour) {
  const float cs = std::cos(angle), sn = std::sin(angle);
  for (int py = static_cast<int>(y - reach); py <= static_cast<int>(y + reach) + 1; ++py)
    for (int px = static_cast<int>(x - reach); px <= static_cast<int>(x + reach) + 1; ++px) {
      const float dx = px + 0.5f - x, dy = py + 0.5f - y;
      const float u = dx * cs + dy * sn, v = -dx * sn + dy * cs;
      const float d = shape(u, v);
      if (d > 0.6f) continue;
      c.Blend(px, py, colour(u, v, d), alpha * (1 - Smoothstep(-0.5f, 0.5f, d)));
    }
}

}  // namespace

TreeLook CherryLook() {
  return {FromBytes(88, 64, 62),
          FromBytes(222, 142, 168),
          FromBytes(255, 230, 238),
          FromBytes(255, 248, 250),
          0.62f,
          0.26f,
          0.22f};
}

TreeLook MapleLook(float hue) {
  return {FromBytes(92, 60, 44),
          Mix(FromBytes(176, 48, 34), FromBytes(206, 112, 30), hue),
          Mix(FromBytes(238, 112, 64), FromBytes(250, 196, 84), hue),
          Mix(FromBytes(250, 150, 96), FromBytes(255, 226, 130), hue),
          0.6f,
          0.25f,
          0.21f};
}

void Tree(Canvas& c, const TreeLook& look, float x, float ground, float size, std::uint32_t seed,
          Rgb haze, float hazeAmount) {
  std::vector<Limb> limbs;
  std::vector<Point> ends;
  Grow(limbs, ends, look, x, ground, 0.08f * (Hash01(0, 0, seed) - 0.5f), size * 0.62f,
       size * 0.085f + 0.7f, 4, seed, 0);

  // Limbs: tapered strokes, darker at their edges.
  const Rgb bark = Mix(look.bark, haze, hazeAmount);
  const Rgb barkEdge = Mix(look.bark * 0.7f, haze, hazeAmount);
  for (const Limb& l : limbs) {
    const float reach = std::max(l.ra, l.rb) + 1;
    for (int py = static_cast<int>(std::min(l.ay, l.by) - reach);
         py <= static_cast<int>(std::max(l.ay, l.by) + reach); ++py)
      for (int px = static_cast<int>(std::min(l.ax, l.bx) - reach);
           px <= static_cast<int>(std::max(l.ax, l.bx) + reach); ++px) {
        const float fx = px + 0.5f, fy = py + 0.5f;
        const float vx = l.bx - l.ax, vy = l.by - l.ay;
        const float t = Clamp01(((fx - l.ax) * vx + (fy - l.ay) * vy) / (vx * vx + vy * vy));
        const float r = Lerp(l.ra, l.rb, t);
        const float dist = std::hypot(fx - l.ax - vx * t, fy - l.ay - vy * t);
        const Rgb col = Mix(bark, barkEdge, Smoothstep(0.2f, 1.0f, dist / r));
        c.Blend(px, py, col, 1 - Smoothstep(r - 0.5f, r + 0.5f, dist));
      }
  }

  // Crown: a soft field around the limb ends, frayed by noise; only where it is dense
  // enough is there foliage, so the outline is ragged and the limbs show through holes.
  const float sx = size * look.crownWidth, sy = size * look.crownHeight;
  float left = 1e9f, right = -1e9f, top = 1e9f, bottom = -1e9f;
  for (const Point& e : ends) {
    left = std::min(left, e.x), right = std::max(right, e.x);
    top = std::min(top, e.y), bottom = std::max(bottom, e.y);
  }
  const float grain = 1.0f / std::max(2.0f, size * 0.07f);
  for (int py = static_cast<int>(top - 3 * sy); py <= static_cast<int>(bottom + 2 * sy); ++py)
    for (int px = static_cast<int>(left - 3 * sx); px <= static_cast<int>(right + 3 * sx); ++px) {
      const float fx = px + 0.5f, fy = py + 0.5f;
      float field = 0;
      for (const Point& e : ends) {
        const float dx = (fx - e.x) / sx, dy = (fy - e.y + 0.4f * sy) / sy;
        field += std::exp(-0.5f * (dx * dx + dy * dy));
      }
      const float fray = Fbm(fx * grain, fy * grain, 3, seed + 11u);
      const float v = field * (0.3f + 1.4f * fray);
      const float cover = Smoothstep(0.85f, 1.05f, v);
      if (cover <= 0) continue;
      // Lighter toward the top of the crown and where the foliage is thick, darker in the
      // hollows; small light flecks are the blossoms or leaves themselves.
      const float height = Clamp01((fy - (top - 2 * sy)) / (bottom - top + 3 * sy));
      Rgb col = Mix(look.crownLight, look.crownDark, Smoothstep(0.15f, 0.95f, height));
      col = Mix(col, look.crownDark, 0.45f * (1 - Smoothstep(1.05f, 1.6f, v)));
      const float fleck = Fbm(fx * 0.55f, fy * 0.55f, 2, seed + 13u);
      col = Mix(col, look.fleck, 0.8f * Smoothstep(0.6f, 0.72f, fleck));
      col = Mix(col, look.crownDark * 0.85f, 0.5f * (1 - Smoothstep(0.28f, 0.4f, fleck)));
      c.Blend(px, py, Mix(col, haze, hazeAmount), cover);
    }
}

void Petal(Canvas& c, float x, float y, float length, float angle, Rgb colour, float alpha) {
  const float a = length / 2, b = length * 0.3f;
  const Rgb base = Mix(colour, FromBytes(214, 96, 136), 0.5f);
  const Rgb rim = Mix(colour, FromBytes(255, 255, 255), 0.55f);
  Stamp(
      c, x, y, a + 1.5f, angle, alpha,
      [&](float u, float v) {
        // Narrow at the base (u = -a), broad at the outer end, with a notch in it.
        const float w = b * (0.55f + 0.45f * Clamp01((u / a + 1) / 2));
        const float oval = (std::hypot(u / a, v / w) - 1) * std::min(a, w);
        const float notch = b * 0.42f - std::hypot(u - a * 1.02f, v);
        return std::max(oval, notch);
      },
      [&](float u, float, float d) {
        return Mix(Mix(base, colour, Smoothstep(-a, a * 0.2f, u)), rim, Smoothstep(-1.2f, 0.0f, d));
      });
}

void MapleLeaf(Canvas& c, float x, float y, float size, float angle, Rgb colour, float alpha) {
  const float radius = size / 2;
  const Rgb edge = colour * 0.72f;
  Stamp(
      c, x, y, radius + 2, angle, alpha,
      [&](float u, float v) {
        // Five pointed lobes, the top one along u; the stalk leaves between the lower two.
        const float theta = std::atan2(v, u);
        const float lobes = std::pow(std::abs(std::cos(2.5f * theta)), 1.4f);
        const float body = (std::hypot(u, v) - radius * (0.42f + 0.58f * lobes)) * 0.6f;
        const float stalk = SegmentDistance(u, v, 0, 0, -radius * 1.25f, 0) - 0.45f;
        return std::min(body, stalk);
      },
      [&](float, float, float d) { return Mix(edge, colour, Smoothstep(-0.2f, -1.4f, d)); });
}

}  // namespace gendata
