#include "raster.h"

#include <algorithm>
#include <cmath>

namespace gendata {

Rgb Mix(Rgb a, Rgb b, float t) { return {Lerp(a.r, b.r, t), Lerp(a.g, b.g, t), Lerp(a.b, b.b, t)}; }
Rgb FromBytes(int r, int g, int b) { return {r / 255.0f, g / 255.0f, b / 255.0f}; }

float Clamp01(float x) { return std::clamp(x, 0.0f, 1.0f); }
float Lerp(float a, float b, float t) { return a + (b - a) * t; }
float Smoothstep(float e0, float e1, float x) {
  const float t = Clamp01((x - e0) / (e1 - e0));
  return t * t * (3.0f - 2.0f * t);
}

namespace {
std::uint32_t Hash(std::int32_t x, std::int32_t y, std::uint32_t seed) {
  std::uint32_t h = seed * 0x9E3779B1u;
  h ^= static_cast<std::uint32_t>(x) * 0x85EBCA77u;
  h = (h << 13) | (h >> 19);
  h ^= static_cast<std::uint32_t>(y) * 0xC2B2AE3Du;
  h ^= h >> 16;
  h *= 0x7FEB352Du;
  h ^= h >> 15;
  h *= 0x846CA68Bu;
  h ^= h >> 16;
  return h;
}
}  // namespace

float Hash01(std::int32_t x, std::int32_t y, std::uint32_t seed) {
  return static_cast<float>(Hash(x, y, seed) >> 8) / 16777216.0f;
}

float Noise(float x, float y, std::uint32_t seed) {
  const float fx = std::floor(x), fy = std::floor(y);
  const auto ix = static_cast<std::int32_t>(fx), iy = static_cast<std::int32_t>(fy);
  float tx = x - fx, ty = y - fy;
  tx = tx * tx * (3 - 2 * tx);
  ty = ty * ty * (3 - 2 * ty);
  const float a = Hash01(ix, iy, seed), b = Hash01(ix + 1, iy, seed);
  const float c = Hash01(ix, iy + 1, seed), d = Hash01(ix + 1, iy + 1, seed);
  return Lerp(Lerp(a, b, tx), Lerp(c, d, tx), ty);
}

float Fbm(float x, float y, int octaves, std::uint32_t seed) {
  float sum = 0, weight = 0.5f, total = 0;
  for (int i = 0; i < octaves; ++i) {
    sum += Noise(x, y, seed + static_cast<std::uint32_t>(i) * 101u) * weight;
    total += weight;
    x *= 2.03f, y *= 2.03f;
    weight *= 0.5f;
  }
  return sum / total;
}

Canvas::Canvas(int width, int height, Rgb fill)
    : width_(width), height_(height), pixels_(static_cast<std::size_t>(width) * height, fill) {}

void Canvas::Blend(int x, int y, Rgb colour, float alpha) {
  if (x < 0 || y < 0 || x >= width_ || y >= height_ || alpha <= 0) return;
  Rgb& p = at(x, y);
  p = Mix(p, colour, Clamp01(alpha));
}

void Canvas::Disc(float cx, float cy, float radius, Rgb colour, float alpha, float feather) {
  const int x0 = static_cast<int>(std::floor(cx - radius - feather));
  const int x1 = static_cast<int>(std::ceil(cx + radius + feather));
  const int y0 = static_cast<int>(std::floor(cy - radius - feather));
  const int y1 = static_cast<int>(std::ceil(cy + radius + feather));
  for (int y = y0; y <= y1; ++y)
    for (int x = x0; x <= x1; ++x) {
      const float d = std::hypot(x + 0.5f - cx, y + 0.5f - cy) - radius;
      Blend(x, y, colour, alpha * (1.0f - Smoothstep(-feather / 2, feather / 2, d)));
    }
}

std::uint8_t ToByte(float v) { return static_cast<std::uint8_t>(std::lround(Clamp01(v) * 255.0f)); }

std::vector<std::uint8_t> ToRgbBytes(const Canvas& canvas) {
  std::vector<std::uint8_t> out;
  out.reserve(static_cast<std::size_t>(canvas.width()) * canvas.height() * 3);
  for (int y = 0; y < canvas.height(); ++y)
    for (int x = 0; x < canvas.width(); ++x) {
      const Rgb& p = canvas.at(x, y);
      out.push_back(ToByte(p.r));
      out.push_back(ToByte(p.g));
      out.push_back(ToByte(p.b));
    }
  return out;
}

float SegmentDistance(float px, float py, float ax, float ay, float bx, float by) {
  const float vx = bx - ax, vy = by - ay;
  const float len2 = vx * vx + vy * vy;
  const float t = len2 > 0 ? Clamp01(((px - ax) * vx + (py - ay) * vy) / len2) : 0.0f;
  return std::hypot(px - ax - vx * t, py - ay - vy * t);
}

}  // namespace gendata
