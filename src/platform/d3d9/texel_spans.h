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
};

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
