// What a covered pixel becomes once its diffuse colour and texel are known: texture stage
// 0, the alpha test's comparison, blending with the target and the colour write mask. The
// plain and the fast rasteriser paths both end in these, so the arithmetic lives once,
// below both: neither path calls into the other for it.
#pragma once

#include <cstdint>

#include "platform/d3d9/rasterizer.h"

namespace vm_d3d9 {

// round(t / 255), halves up, for 0 <= t <= 255 x 255: exact over that whole range.
inline uint32_t Div255(uint32_t t) {
  t += 128;
  return (t + (t >> 8)) >> 8;
}

// round(a x b / 255) for 8-bit a and b.
inline uint32_t MulDiv255(uint32_t a, uint32_t b) { return Div255(a * b); }

// Channel 0 blue, 1 green, 2 red, 3 alpha of an A8R8G8B8 value.
inline uint32_t Channel(uint32_t color, int index) { return (color >> (8 * index)) & 255; }

// Texture stage 0: the colour and alpha operations on the diffuse colour and the texel.
uint32_t CombineStage(const RasterState& state, uint32_t diffuse, uint32_t texel);

// The alpha and depth tests' comparison (a D3DCMP_ value) of a pixel's value with the
// reference or the stored depth; an unknown function passes.
template <typename T>
inline bool CompareFunc(uint32_t func, T value, T reference) {
  switch (func) {
    case D3DCMP_NEVER:
      return false;
    case D3DCMP_LESS:
      return value < reference;
    case D3DCMP_EQUAL:
      return value == reference;
    case D3DCMP_LESSEQUAL:
      return value <= reference;
    case D3DCMP_GREATER:
      return value > reference;
    case D3DCMP_NOTEQUAL:
      return value != reference;
    case D3DCMP_GREATEREQUAL:
      return value >= reference;
    default:
      return true;
  }
}

// Blends a source pixel over a destination pixel (both A8R8G8B8) with the blend states.
uint32_t BlendPixel(const RasterState& state, uint32_t src, uint32_t dst);

// Writes a shaded pixel through the colour write mask and the target's format.
inline uint32_t FinishPixel(const RasterState& state, uint32_t color, uint32_t dst) {
  if (state.colorWriteMask != 0xF) {
    uint32_t mask = 0;
    if (state.colorWriteMask & 1) mask |= 0x00FF0000u;
    if (state.colorWriteMask & 2) mask |= 0x0000FF00u;
    if (state.colorWriteMask & 4) mask |= 0x000000FFu;
    if (state.colorWriteMask & 8) mask |= 0xFF000000u;
    color = (color & mask) | (dst & ~mask);
  }
  if (state.target.format == D3DFMT_X8R8G8B8) color |= 0xFF000000u;
  return color;
}

}  // namespace vm_d3d9
