// The fast rasteriser path (fast_path.cpp) and its loops (fast_path_sse2.cpp,
// fast_path_avx2.cpp). It draws from the shared triangle setup and ends every pixel in the
// shared per-pixel operations; the plain path in rasterizer.cpp calls it, never the other
// way round.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/d3d9/raster_internal.h"

namespace vm_d3d9 {

// One operation of the fast path over a rectangle of the target: `height` rows of `width`
// pixels from dst on, rows dstPitch pixels apart; the pixel at (x, y) reads the texel at
// (x, y) from src on, rows srcPitch pixels apart (src is null, srcPitch 0, for a stage
// without texels). A span is a rectangle one row high. src may be dst.
struct RectJob {
  const uint32_t* src = nullptr;
  ptrdiff_t srcPitch = 0;
  uint32_t* dst = nullptr;
  ptrdiff_t dstPitch = 0;
  int width = 0;
  int height = 0;
  uint32_t color = 0;       // the modulating colour, or the constant stage's colour
  uint32_t dstAlphaOr = 0;  // OR-ed into every written pixel: 0xFF000000 on X8R8G8B8
};
using RectLoop = void (*)(const RectJob& job);

// The loops, one per operation; blending is SRCALPHA / INVSRCALPHA / ADD and modulation
// MulDiv255 per channel, with the plain path's arithmetic.
void FillRect(const RectJob& job);          // the colour
void ConstantOverRect(const RectJob& job);  // the colour over the target
void CopyRect(const RectJob& job);          // the texels
void OverRect(const RectJob& job);          // the texels over the target
void ModulateRect(const RectJob& job);      // the texels times the colour
void ModulateOverRect(const RectJob& job);  // the texels times the colour over the target
// The same eight pixels a step, for processors with AVX2.
void ConstantOverRectAvx2(const RectJob& job);
void OverRectAvx2(const RectJob& job);
void ModulateRectAvx2(const RectJob& job);
void ModulateOverRectAvx2(const RectJob& job);

// Every pixel the setup covers gets a value that does not depend on the one it replaces:
// no alpha or depth test, every channel written, and no blending or source-over blending
// of a source that is opaque everywhere.
bool IgnoresDestination(const RasterState& state, const TriangleSetup& setup);

// The fast path; returns false when it does not handle this draw (the caller then uses
// the plain path).
bool DrawTriangleFast(const RasterState& state, const TriangleSetup& setup);

}  // namespace vm_d3d9
