// The walker: a round green caterpillar of five body segments and a big head, crawling by
// a hump that runs from its tail to its head over the eight frames.
//
// Keying: the saver makes green (0, 255, 0) transparent and keeps every other colour, so
// the silhouette's edge is hard (no pixel mixes outline and key), while the black outline
// blends inward into the body colours only.
#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

#include "sprites.h"

namespace gendata {
namespace {

constexpr int kSegments = 5;

struct Circle {
  float x, y, r;
  float Sdf(float px, float py) const { return std::hypot(px - x, py - y) - r; }
};

struct Pose {
  std::array<Circle, kSegments> body;  // tail first
  Circle head;
  std::array<Circle, kSegments> feet;
  std::array<Circle, 2> knobs;                   // antenna tips
  std::array<std::array<float, 6>, 2> antennae;  // quadratic curves: start, control, end
};

Pose PoseOf(int frame) {
  const float phase = 2 * std::numbers::pi_v<float> * static_cast<float>(frame) / kWalkerFrames;
  constexpr float kLag = 0.85f;  // phase delay from one segment to the next
  Pose p{};
  for (int i = 0; i < kSegments; ++i) {
    const float s = std::sin(phase - kLag * static_cast<float>(i));
    const float lift = 3.6f * std::pow(std::max(0.0f, s), 2.0f);
    const float r = 5.7f + 0.3f * static_cast<float>(i);
    const float x =
        8.0f + 6.0f * static_cast<float>(i) + 0.8f * std::cos(phase - kLag * static_cast<float>(i));
    const float y = 31.0f - r - lift;
    p.body[static_cast<std::size_t>(i)] = {x, y, r};
    p.feet[static_cast<std::size_t>(i)] = {x + 1.0f, y + r + 0.2f, 1.75f};
  }
  const float hs = std::sin(phase - kLag * kSegments);
  p.head = {37.6f + 0.4f * std::cos(phase - kLag * kSegments), 18.0f - 0.9f * std::max(0.0f, hs),
            8.4f};
  const float sway = 0.9f * std::sin(phase + 0.6f);
  const Circle& h = p.head;
  p.antennae[0] = {h.x - 2.4f, h.y - 7.2f, h.x - 4.0f, h.y - 10.5f, h.x - 5.2f + sway, h.y - 13.0f};
  p.antennae[1] = {h.x + 2.4f, h.y - 7.4f, h.x + 3.8f, h.y - 11.0f, h.x + 4.6f + sway, h.y - 13.4f};
  for (std::size_t k = 0; k < 2; ++k) p.knobs[k] = {p.antennae[k][4], p.antennae[k][5], 2.3f};
  return p;
}

float CurveDistance(const std::array<float, 6>& c, float px, float py) {
  float best = 1e9f;
  float lx = c[0], ly = c[1];
  for (int i = 1; i <= 16; ++i) {
    const float t = static_cast<float>(i) / 16, u = 1 - t;
    const float x = u * u * c[0] + 2 * u * t * c[2] + t * t * c[4];
    const float y = u * u * c[1] + 2 * u * t * c[3] + t * t * c[5];
    best = std::min(best, SegmentDistance(px, py, lx, ly, x, y));
    lx = x, ly = y;
  }
  return best;
}

// Round body shading: lit from the upper left, shaded below.
Rgb Shade(Rgb base, const Circle& c, float px, float py) {
  const float nx = (px - c.x) / c.r, ny = (py - c.y) / c.r;
  const float lit = Smoothstep(0.15f, 0.95f, -(0.45f * nx + 0.85f * ny));
  const float dark = Smoothstep(0.25f, 1.0f, 0.2f * nx + 0.95f * ny);
  Rgb out = Mix(base, FromBytes(214, 246, 150), 0.55f * lit);
  return Mix(out, FromBytes(62, 136, 48), 0.45f * dark);
}

void DrawFrame(Canvas& canvas, std::vector<bool>& opaque, int stripWidth, int frame,
               Facing facing) {
  const Pose p = PoseOf(frame);
  const Rgb black{0, 0, 0};
  const Rgb bodyGreen = FromBytes(122, 200, 70);
  const Rgb headGreen = FromBytes(148, 212, 80);
  const Rgb seam = FromBytes(66, 138, 50);
  const Rgb foot = FromBytes(58, 118, 44);
  const Rgb spot = FromBytes(252, 222, 86);
  const Rgb knob = FromBytes(252, 146, 70);

  for (int y = 0; y < kWalkerFrameHeight; ++y)
    for (int x = 0; x < kWalkerFrameWidth; ++x) {
      const float px = x + 0.5f, py = y + 0.5f;
      // Distance inside the silhouette (the union of every part).
      float sdf = p.head.Sdf(px, py);
      for (const Circle& c : p.body) sdf = std::min(sdf, c.Sdf(px, py));
      for (const Circle& c : p.feet) sdf = std::min(sdf, c.Sdf(px, py));
      for (const Circle& c : p.knobs) sdf = std::min(sdf, c.Sdf(px, py));
      for (const auto& a : p.antennae) sdf = std::min(sdf, CurveDistance(a, px, py) - 0.75f);
      if (sdf >= 0) continue;

      // The top-most part under this pixel decides the inner colour.
      Rgb inner = foot;
      const Circle* top = nullptr;
      bool overLower = false;  // a part beneath the top one also covers this pixel
      if (p.head.Sdf(px, py) < 0) {
        top = &p.head;
        inner = Shade(headGreen, p.head, px, py);
        for (const Circle& c : p.body) overLower = overLower || c.Sdf(px, py) < 0;
      } else {
        for (int i = kSegments - 1; i >= 0; --i) {
          const Circle& c = p.body[static_cast<std::size_t>(i)];
          if (c.Sdf(px, py) >= 0) continue;
          top = &c;
          inner = Shade(bodyGreen, c, px, py);
          // A yellow spot on the back of each segment.
          const float sd = std::hypot(px - (c.x - 0.6f), py - (c.y - c.r * 0.42f)) - 1.45f;
          inner = Mix(inner, spot, 1 - Smoothstep(-0.5f, 0.5f, sd));
          for (int j = 0; j < i; ++j)
            overLower = overLower || p.body[static_cast<std::size_t>(j)].Sdf(px, py) < 0;
          break;
        }
      }
      for (const Circle& c : p.knobs)
        if (c.Sdf(px, py) < 0)
          inner = Mix(knob, FromBytes(255, 214, 150), Smoothstep(0.0f, 1.2f, -(py - c.y) - 0.3f));
      // Where a segment lies over the one behind it, a darker seam marks its round edge.
      if (top && overLower)
        inner = Mix(inner, seam, 1 - Smoothstep(0.35f, 1.25f, -top->Sdf(px, py)));

      if (top == &p.head) {
        const Circle& h = p.head;
        // Two bead eyes with a glint, pink cheeks and a small smile, looking ahead.
        for (float ex : {h.x + 0.4f, h.x + 4.5f}) {
          const float ey = h.y - 1.2f;
          const float ed = std::hypot((px - ex) / 1.7f, (py - ey) / 2.25f) - 1.0f;
          inner = Mix(inner, black, 1 - Smoothstep(-0.25f, 0.25f, ed));
          inner = Mix(inner, FromBytes(255, 255, 255),
                      1 - Smoothstep(0.35f, 0.85f, std::hypot(px - ex + 0.45f, py - ey + 0.85f)));
        }
        for (float cx : {h.x - 2.3f, h.x + 6.2f}) {
          const float cd = std::hypot((px - cx) / 1.7f, (py - (h.y + 2.6f)) / 1.1f);
          inner = Mix(inner, FromBytes(246, 150, 150), 0.75f * (1 - Smoothstep(0.6f, 1.1f, cd)));
        }
        const float mx = h.x + 2.6f, my = h.y + 1.2f;
        const float md = std::abs(std::hypot(px - mx, py - my) - 2.3f);
        if (py > my + 1.0f)
          inner = Mix(inner, FromBytes(74, 40, 32), 1 - Smoothstep(0.35f, 0.9f, md));
      }

      // The outline: black at the silhouette, blending only inward.
      const Rgb colour = Mix(black, inner, Smoothstep(0.95f, 1.85f, -sdf));
      const int sx = facing == Facing::kRight ? x : kWalkerFrameWidth - 1 - x;
      const int ox = frame * kWalkerFrameWidth + sx;
      canvas.at(ox, y) = colour;
      opaque[static_cast<std::size_t>(y) * stripWidth + ox] = true;
    }
}

}  // namespace

MaskedPicture DrawWalkerStrip(Facing facing) {
  const int width = kWalkerFrameWidth * kWalkerFrames;
  MaskedPicture out{Canvas(width, kWalkerFrameHeight),
                    std::vector<bool>(width * kWalkerFrameHeight)};
  for (int f = 0; f < kWalkerFrames; ++f) DrawFrame(out.colour, out.opaque, width, f, facing);
  // Every body pixel beside the key is pure outline black, whatever the shading gave it, so
  // nothing between black and body colour is left at the keyed edge.
  const MaskedPicture shaded = out;
  const auto keyAt = [&](int x, int y, int frameLeft) {
    if (x < frameLeft || x >= frameLeft + kWalkerFrameWidth || y < 0 || y >= kWalkerFrameHeight)
      return true;
    return !shaded.opaque[static_cast<std::size_t>(y) * width + x];
  };
  for (int y = 0; y < kWalkerFrameHeight; ++y)
    for (int x = 0; x < width; ++x) {
      const int frameLeft = x - x % kWalkerFrameWidth;
      if (keyAt(x, y, frameLeft)) continue;
      if (keyAt(x - 1, y, frameLeft) || keyAt(x + 1, y, frameLeft) || keyAt(x, y - 1, frameLeft) ||
          keyAt(x, y + 1, frameLeft))
        out.colour.at(x, y) = Rgb{0, 0, 0};
    }
  return out;
}

}  // namespace gendata
