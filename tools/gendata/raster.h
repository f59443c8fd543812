// Floating-point canvases and the few drawing primitives the data generators share.
//
// Everything is deterministic: noise comes from an integer hash of the lattice point and a
// seed (never from std:: distributions, whose output the standard leaves open), and no
// generator uses threads, clocks or the environment.
#pragma once

#include <cstdint>
#include <vector>

namespace gendata {

struct Rgb {
  float r = 0, g = 0, b = 0;  // 0..1, sRGB-encoded
};

inline Rgb operator+(Rgb a, Rgb b) { return {a.r + b.r, a.g + b.g, a.b + b.b}; }
inline Rgb operator*(Rgb a, float k) { return {a.r * k, a.g * k, a.b * k}; }
Rgb Mix(Rgb a, Rgb b, float t);
Rgb FromBytes(int r, int g, int b);

float Clamp01(float x);
float Smoothstep(float e0, float e1, float x);
float Lerp(float a, float b, float t);

// Smooth value noise in 0..1 with features about one unit apart.
float Noise(float x, float y, std::uint32_t seed);
// Sum of `octaves` noise layers, each of twice the frequency and half the weight; 0..1.
float Fbm(float x, float y, int octaves, std::uint32_t seed);
// A hash of three integers to 0..1, for scattering stars, petals and pebbles.
float Hash01(std::int32_t x, std::int32_t y, std::uint32_t seed);

class Canvas {
 public:
  Canvas(int width, int height, Rgb fill = {});
  int width() const { return width_; }
  int height() const { return height_; }
  Rgb& at(int x, int y) { return pixels_[static_cast<std::size_t>(y) * width_ + x]; }
  const Rgb& at(int x, int y) const { return pixels_[static_cast<std::size_t>(y) * width_ + x]; }
  // Paints `colour` over pixel (x, y) with opacity `alpha`; outside pixels are ignored.
  void Blend(int x, int y, Rgb colour, float alpha);
  // A soft-edged disc: full opacity inside radius - feather / 2, none beyond + feather / 2.
  void Disc(float cx, float cy, float radius, Rgb colour, float alpha, float feather = 1.0f);

 private:
  int width_, height_;
  std::vector<Rgb> pixels_;
};

// 8-bit rounding of one channel.
std::uint8_t ToByte(float v);

// Rows top to bottom, three bytes R, G, B per pixel.
std::vector<std::uint8_t> ToRgbBytes(const Canvas& canvas);

// Distance from (px, py) to the segment (ax, ay)-(bx, by).
float SegmentDistance(float px, float py, float ax, float ay, float bx, float by);

}  // namespace gendata
