// Texel spans of the fast rasteriser path: the texture of stage 0 sampled along one row
// of a triangle into A8R8G8B8 pixels. One routine is chosen per triangle by the filter,
// the texture's format and how the texel coordinates step along a row; each gives exactly
// what SampleTexture gives pixel by pixel.
#pragma once

#include <emmintrin.h>

#include <cstdint>
#include <vector>

#include "platform/d3d9/raster_internal.h"

namespace vm_d3d9 {

// Bilinear sampling where the texel column depends on x alone (no rotation): the column
// and the horizontal weights of every pixel offset, computed once per triangle.
struct LinearColumns {
  std::vector<int32_t> index;        // left texel, or -1 where a neighbour needs addressing
  std::vector<int32_t> left, right;  // both texels after addressing (-1: border colour)
  struct alignas(16) Weights {
    int16_t lanes[8];  // 256 - fx in the low four lanes, fx in the high four
  };
  std::vector<Weights> weights;
  // The pixel offsets whose index is not -1: the column steps one way along x, so they
  // are one run [insideFrom, insideTo) (empty: insideFrom >= insideTo).
  int insideFrom = 0, insideTo = 0;
};

// Bilinear filtering in two halves with AVX2 (the same arithmetic as the SSE2 halves):
// texels [0, count) of row0 and row1 blended vertically with weight fy into mixed, a
// channel per 16-bit lane; then pixel k of n blends mixed[index[k]] and the texel after it
// with the horizontal weights at weights[8k] (256 - fx, four lanes) and weights[8k + 4]
// (fx), ORs alphaOr and goes to out[k].
void BlendRowsAvx2(const uint32_t* row0, const uint32_t* row1, uint32_t fy, int count,
                   uint64_t* mixed);
void BlendColumnsAvx2(const uint64_t* mixed, const int32_t* index, const int16_t* weights, int n,
                      uint32_t alphaOr, uint32_t* out);

struct TexelSpanJob {
  const RasterState& st;
  const TriangleSetup& su;
  const LinearColumns& columns;  // filled when the chosen routine uses them
};

// Whether a routine may hand back a run of texels where it sits in the texture instead of
// copying it to `out` (the caller then only reads the result).
enum class InPlace { No, Allowed };

// Samples the n pixels of row dy from offset dx on into out and returns where they are.
using TexelSpanRoutine = const uint32_t* (*)(const TexelSpanJob& job, int dx, int dy, int n,
                                             uint32_t* out, InPlace inPlace);

// The routine for this triangle (null without a texture); fills `columns` when the routine
// needs them.
TexelSpanRoutine ChooseTexelSpan(const RasterState& st, const TriangleSetup& su,
                                 LinearColumns* columns);

}  // namespace vm_d3d9
