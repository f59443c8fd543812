// The triangle rasteriser behind DrawPrimitiveUP: pre-transformed vertices, Direct3D 9
// sampling positions (the centre of pixel (x, y) is at (x, y)), the top-left fill rule,
// texture stage 0, alpha test, depth test and blending.
//
// Two paths draw the same pixels: the plain path tests every pixel of a triangle's
// bounding box and evaluates each value from scratch; the fast path walks spans and
// steps the same integer plane equations. Both share the triangle setup below, which is
// what makes them agree to the bit.
#pragma once

#include <climits>
#include <cstdint>

#include "platform/d3d9/d3d9.h"

namespace vm_d3d9 {

// The 32-byte vertex of D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_SPECULAR | D3DFVF_TEX1.
struct TLVertex {
  float x, y, z, rhw;
  uint32_t diffuse;
  uint32_t specular;
  float u, v;
};
static_assert(sizeof(TLVertex) == 32);

struct PixelBuffer {
  uint8_t* bits = nullptr;
  int width = 0;
  int height = 0;
  int pitch = 0;  // bytes
  D3DFORMAT format = D3DFMT_UNKNOWN;

  bool operator==(const PixelBuffer&) const = default;
};

struct DepthBuffer {
  float* values = nullptr;  // width x height, rows packed
  int width = 0;
  int height = 0;

  bool operator==(const DepthBuffer&) const = default;
};

// Everything a draw reads from the device, resolved to plain values.
struct RasterState {
  PixelBuffer target;                                            // A8R8G8B8 or X8R8G8B8
  DepthBuffer depth;                                             // values null: no depth buffer
  int clipLeft = 0, clipTop = 0, clipRight = 0, clipBottom = 0;  // viewport, exclusive
  uint32_t cullMode = D3DCULL_CCW;
  uint32_t shadeMode = D3DSHADE_GOURAUD;

  bool hasTexture = false;
  PixelBuffer texture;         // level 0
  bool textureOpaque = false;  // every texel of level 0 has alpha 255
  uint32_t magFilter = D3DTEXF_POINT;
  uint32_t minFilter = D3DTEXF_POINT;
  uint32_t addressU = D3DTADDRESS_WRAP;
  uint32_t addressV = D3DTADDRESS_WRAP;
  uint32_t borderColor = 0;

  uint32_t colorOp = D3DTOP_MODULATE;
  uint32_t colorArg1 = D3DTA_TEXTURE;
  uint32_t colorArg2 = D3DTA_CURRENT;
  uint32_t alphaOp = D3DTOP_SELECTARG1;
  uint32_t alphaArg1 = D3DTA_TEXTURE;
  uint32_t alphaArg2 = D3DTA_CURRENT;
  uint32_t textureFactor = 0xFFFFFFFF;

  bool alphaTest = false;
  uint32_t alphaFunc = D3DCMP_ALWAYS;
  uint32_t alphaRef = 0;

  bool depthTest = false;  // only with a depth buffer
  bool depthWrite = false;
  uint32_t depthFunc = D3DCMP_LESSEQUAL;

  bool blend = false;
  uint32_t srcBlend = D3DBLEND_ONE;
  uint32_t destBlend = D3DBLEND_ZERO;
  uint32_t blendOp = D3DBLENDOP_ADD;
  uint32_t blendFactor = 0xFFFFFFFF;
  uint32_t colorWriteMask = 0xF;  // bit 0 red, 1 green, 2 blue, 3 alpha

  bool avx2 = false;  // the fast path may use AVX2

  // Pixels outside [scissorLeft, scissorRight) x [scissorTop, scissorBottom) are left
  // alone. Unlike the viewport this does not move the triangle setup, so every pixel
  // inside gets exactly the value it gets without a scissor.
  int scissorLeft = INT_MIN, scissorTop = INT_MIN, scissorRight = INT_MAX, scissorBottom = INT_MAX;

  bool operator==(const RasterState&) const = default;
};

// The processor runs AVX2 instructions.
bool CpuHasAvx2();

// Draws one triangle (vertices in the order the primitive gives them).
void DrawTriangle(const RasterState& state, const TLVertex& a, const TLVertex& b, const TLVertex& c,
                  RasterPath path);

// Draws the two strip triangles (v[0], v[1], v[2]) and (v[2], v[1], v[3]) when they form
// an axis-aligned rectangle with texture coordinates along its sides and one colour
// (the saver's every quad); false, drawing nothing, for any other quad. Both triangles
// then share one set of attribute planes, computed from the rectangle, so that the fast
// path may fill the rectangle in whole rows.
bool DrawQuad(const RasterState& state, const TLVertex* v, RasterPath path);

// True when the quad v[0..3] (as DrawQuad takes it) covers every pixel of [left, right) x
// [top, bottom) and writes each without reading what was there: nothing drawn before it
// there can show.
bool QuadOverwrites(const RasterState& state, const TLVertex* v, int left, int top, int right,
                    int bottom);

}  // namespace vm_d3d9
