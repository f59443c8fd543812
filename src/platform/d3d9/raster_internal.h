// Pieces shared by the plain and the fast rasteriser paths: the triangle setup and the
// sampling of stage 0's texture. Everything here is integer arithmetic on values fixed by
// the setup, so a path that steps a plane equation gets exactly what the plain path
// computes from scratch.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "platform/d3d9/pixel_format.h"
#include "platform/d3d9/rasterizer.h"

namespace vm_d3d9 {

// A linear function of the pixel offset (dx, dy) from the setup's origin, in fixed point.
struct Plane {
  int64_t f0 = 0, fx = 0, fy = 0;
  int64_t At(int dx, int dy) const { return f0 + fx * dx + fy * dy; }
};

struct DoublePlane {
  double f0 = 0, fx = 0, fy = 0;
  double At(int dx, int dy) const { return f0 + fx * dx + fy * dy; }
};

// Texel coordinates carry 32 fractional bits through the plane equations and are then
// rounded to 8 (the sub-texel precision of the sampler): 1/256 texel.
constexpr int kCoordFracBits = 32;
// Colour channels carry 16 fractional bits.
constexpr int kColorFracBits = 16;

struct TriangleSetup {
  // Pixels [minX, maxX) x [minY, maxY), already clipped to the viewport; the origin of
  // every plane and edge value is (minX, minY).
  int minX = 0, minY = 0, maxX = 0, maxY = 0;
  // Edge functions with the fill-rule bias folded in: a pixel is covered when all three
  // are >= 0.
  int64_t e0[3] = {}, ex[3] = {}, ey[3] = {};

  // True when all three rhw are equal: attributes are then affine in screen space and
  // use the integer planes; otherwise the plain path divides per pixel.
  bool affine = true;
  Plane s, t;                       // texel coordinates x texture size, 2^-32 texel
  Plane color[4];                   // diffuse B, G, R, A in 2^-16 units
  bool constantColor = false;       // all colour gradients are zero (or flat shading)
  uint32_t flatColor = 0;           // the colour when constantColor
  DoublePlane ps, pt, pc[4], prhw;  // attribute x rhw and rhw, for perspective
  DoublePlane z;
  bool minify = false;  // more than one texel per pixel: MINFILTER applies
  // The setup of a whole axis-aligned rectangle (two strip triangles): every row covers
  // [minX, maxX) and the edge functions are unused.
  bool rectangle = false;
};

// Fills setup; false when the triangle covers nothing (degenerate, culled, outside the
// viewport, or with coordinates no edge function can hold).
bool SetUpTriangle(const RasterState& state, const TLVertex& a, const TLVertex& b,
                   const TLVertex& c, TriangleSetup* setup);

inline int CoordToSub(int64_t fixedCoord) {
  // Round 2^-32 to 2^-8 units; the arithmetic shift rounds negative values down.
  return static_cast<int>((fixedCoord + (int64_t{1} << 23)) >> 24);
}

inline uint32_t ColorChannel(int64_t value) {
  const int64_t c = (value + (int64_t{1} << (kColorFracBits - 1))) >> kColorFracBits;
  return static_cast<uint32_t>(std::clamp<int64_t>(c, 0, 255));
}

inline uint32_t DiffuseAt(const TriangleSetup& setup, int dx, int dy) {
  if (setup.constantColor) return setup.flatColor;
  return ColorChannel(setup.color[0].At(dx, dy)) | ColorChannel(setup.color[1].At(dx, dy)) << 8 |
         ColorChannel(setup.color[2].At(dx, dy)) << 16 |
         ColorChannel(setup.color[3].At(dx, dy)) << 24;
}

// Maps a texel index into [0, size) by the addressing mode; -1 means the border colour.
inline int AddressTexel(int i, int size, uint32_t mode) {
  if (i >= 0 && i < size) return i;
  switch (mode) {
    case D3DTADDRESS_CLAMP:
      return i < 0 ? 0 : size - 1;
    case D3DTADDRESS_BORDER:
      return -1;
    case D3DTADDRESS_MIRROR: {
      const int period = 2 * size;
      int m = i % period;
      if (m < 0) m += period;
      return m < size ? m : period - 1 - m;
    }
    case D3DTADDRESS_MIRRORONCE: {
      const int m = i < 0 ? -i - 1 : i;
      return std::min(m, size - 1);
    }
    default: {  // D3DTADDRESS_WRAP
      int m = i % size;
      return m < 0 ? m + size : m;
    }
  }
}

inline uint32_t FetchTexel(const RasterState& state, int i, int j) {
  const PixelBuffer& tex = state.texture;
  const int x = AddressTexel(i, tex.width, state.addressU);
  const int y = AddressTexel(j, tex.height, state.addressV);
  if (x < 0 || y < 0) return state.borderColor;
  const uint8_t* row = tex.bits + static_cast<ptrdiff_t>(y) * tex.pitch;
  return DecodeTexel(row + static_cast<ptrdiff_t>(x) * FormatBytes(tex.format), tex.format);
}

// Bilinear weights in 1/256; the vertical pair is blended first and rounded, then the
// horizontal pair.
inline uint32_t Lerp256(uint32_t a, uint32_t b, uint32_t f) {
  uint32_t result = 0;
  for (int shift = 0; shift < 32; shift += 8) {
    const uint32_t ca = (a >> shift) & 255;
    const uint32_t cb = (b >> shift) & 255;
    result |= ((ca * (256 - f) + cb * f + 128) >> 8) << shift;
  }
  return result;
}

// Samples at (s, t) in 1/256 texel.
inline uint32_t SampleTexture(const RasterState& state, const TriangleSetup& setup, int s, int t) {
  const uint32_t filter = setup.minify ? state.minFilter : state.magFilter;
  if (filter == D3DTEXF_POINT || filter == D3DTEXF_NONE) {
    return FetchTexel(state, s >> 8, t >> 8);
  }
  // Linear: texel centres sit at half-texel positions.
  const int sl = s - 128;
  const int tl = t - 128;
  const int i0 = sl >> 8, j0 = tl >> 8;
  const uint32_t fx = static_cast<uint32_t>(sl & 255), fy = static_cast<uint32_t>(tl & 255);
  const uint32_t left = Lerp256(FetchTexel(state, i0, j0), FetchTexel(state, i0, j0 + 1), fy);
  const uint32_t right =
      Lerp256(FetchTexel(state, i0 + 1, j0), FetchTexel(state, i0 + 1, j0 + 1), fy);
  return Lerp256(left, right, fx);
}

}  // namespace vm_d3d9
