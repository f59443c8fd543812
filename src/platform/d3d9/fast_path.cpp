// The fast rasteriser path: spans instead of per-pixel edge tests, plane equations
// stepped instead of evaluated, and one loop per operation for the draws the saver makes
// (textured quads of A8R8G8B8/X8R8G8B8 textures, modulated by a constant colour, written
// or alpha blended). A rectangle drawn texel for texel is one call of its loop; other
// draws call it row by row on sampled texels. Every loop computes exactly what the plain
// path computes; anything it does not specialise goes through the shared per-pixel
// functions.
#include <algorithm>

#include "platform/d3d9/fast_path.h"
#include "platform/d3d9/pixel_ops.h"
#include "platform/d3d9/texel_spans.h"

namespace vm_d3d9 {
namespace {

constexpr int kChunk = 256;

int64_t FloorDiv(int64_t a, int64_t b) {  // b > 0
  return a >= 0 ? a / b : -((-a + b - 1) / b);
}

// The covered pixels of each row as offsets [lo, hi) from minX, stepped from row to row.
// An edge bounds the row where its function crosses zero, at floor(base / |ex|); the
// quotient and remainder are carried from row to row (Bresenham), which is exactly the
// division without doing one per row.
class RowSpans {
 public:
  RowSpans(const TriangleSetup& s, int width) : width_(width) {
    for (int e = 0; e < 3 && !s.rectangle; ++e) {
      Edge& edge = edges_[e];
      edge.sign = s.ex[e] > 0 ? 1 : s.ex[e] < 0 ? -1 : 0;
      edge.base = s.e0[e];
      edge.step = s.ey[e];
      if (edge.sign == 0) continue;
      edge.d = edge.sign > 0 ? s.ex[e] : -s.ex[e];
      edge.q = FloorDiv(s.e0[e], edge.d);
      edge.r = s.e0[e] - edge.q * edge.d;
      edge.qStep = FloorDiv(s.ey[e], edge.d);
      edge.rStep = s.ey[e] - edge.qStep * edge.d;
    }
  }

  // The span of the current row; then moves to the next row.
  bool Next(int* lo, int* hi) {
    int64_t from = 0, to = width_;
    bool empty = false;
    for (Edge& edge : edges_) {
      if (edge.sign > 0) {
        from = std::max(from, -edge.q);  // ceil(-base / ex)
      } else if (edge.sign < 0) {
        to = std::min(to, edge.q + 1);
      } else if (edge.base < 0) {
        empty = true;
      }
      edge.Advance();
    }
    if (empty || from >= to) return false;
    *lo = static_cast<int>(from);
    *hi = static_cast<int>(to);
    return true;
  }

 private:
  struct Edge {
    int sign = 0;
    int64_t base = 0, step = 0;    // edge value at dx = 0 and its change per row
    int64_t d = 1, q = 0, r = 0;   // base = q x d + r, 0 <= r < d
    int64_t qStep = 0, rStep = 0;  // step = qStep x d + rStep, 0 <= rStep < d
    void Advance() {
      base += step;
      if (sign == 0) return;
      q += qStep;
      r += rStep;
      if (r >= d) {
        r -= d;
        ++q;
      }
    }
  };
  Edge edges_[3];
  int width_;
};

enum class StageKind { Generic, Texture, ModulateConstant, Constant };
enum class WriteKind { Generic, Replace, Over };

bool IsDiffuse(uint32_t arg) { return arg == D3DTA_DIFFUSE || arg == D3DTA_CURRENT; }

bool IsTextureTimesDiffuse(uint32_t op, uint32_t a1, uint32_t a2) {
  return op == D3DTOP_MODULATE &&
         ((a1 == D3DTA_TEXTURE && IsDiffuse(a2)) || (a2 == D3DTA_TEXTURE && IsDiffuse(a1)));
}

bool IsTextureOnly(uint32_t op, uint32_t a1, uint32_t a2) {
  return (op == D3DTOP_SELECTARG1 && a1 == D3DTA_TEXTURE) ||
         (op == D3DTOP_SELECTARG2 && a2 == D3DTA_TEXTURE);
}

StageKind ClassifyStage(const RasterState& st, const TriangleSetup& su) {
  if (!st.hasTexture || st.colorOp == D3DTOP_DISABLE) {
    return su.constantColor ? StageKind::Constant : StageKind::Generic;
  }
  if (!su.constantColor) return StageKind::Generic;
  const bool colorMod = IsTextureTimesDiffuse(st.colorOp, st.colorArg1, st.colorArg2);
  const bool alphaMod = IsTextureTimesDiffuse(st.alphaOp, st.alphaArg1, st.alphaArg2);
  const bool colorTex = IsTextureOnly(st.colorOp, st.colorArg1, st.colorArg2);
  const bool alphaTex = IsTextureOnly(st.alphaOp, st.alphaArg1, st.alphaArg2);
  const bool white = su.flatColor == 0xFFFFFFFFu;
  if ((colorTex || (colorMod && white)) && (alphaTex || (alphaMod && white)))
    return StageKind::Texture;
  if (colorMod && alphaMod) return StageKind::ModulateConstant;
  return StageKind::Generic;
}

WriteKind ClassifyWrite(const RasterState& st) {
  if (st.alphaTest) return WriteKind::Generic;
  if (!st.blend) return WriteKind::Replace;
  if (st.blendOp == D3DBLENDOP_ADD && st.srcBlend == D3DBLEND_SRCALPHA &&
      st.destBlend == D3DBLEND_INVSRCALPHA) {
    return WriteKind::Over;
  }
  return WriteKind::Generic;
}

// Every source pixel has alpha 255, for the stages that can tell.
bool SourceOpaque(const RasterState& st, const TriangleSetup& su, StageKind stage) {
  const bool borderShows = st.addressU == D3DTADDRESS_BORDER || st.addressV == D3DTADDRESS_BORDER;
  const bool texelsOpaque = st.textureOpaque && (!borderShows || st.borderColor >> 24 == 255);
  switch (stage) {
    case StageKind::Constant:
      return CombineStage(st, su.flatColor, 0xFFFFFFFFu) >> 24 == 255;
    case StageKind::Texture:
      return texelsOpaque;
    case StageKind::ModulateConstant:
      return texelsOpaque && su.flatColor >> 24 == 255;
    case StageKind::Generic:
      break;
  }
  return false;
}

// What every span of a triangle reads, fixed by the triangle.
struct SpanJob {
  TexelSpanJob texels;
  TexelSpanRoutine sample;  // null without a texture
  StageKind stage;
  WriteKind write;
  RectLoop loop;        // the operation's loop, for the fast stages and writes
  uint32_t color;       // the Constant stage's colour, or the ModulateConstant's
  uint32_t dstAlphaOr;  // 0xFF000000 on an X8R8G8B8 target
};

// Draws the n pixels of row dy from offset dx on; out is the target row at dx, scratch
// holds kChunk pixels.
using SpanRoutine = void (*)(const SpanJob& job, int dx, int dy, int n, uint32_t* out,
                             uint32_t* scratch);

RectJob OneRow(const uint32_t* src, uint32_t* out, int n, uint32_t color, uint32_t dstAlphaOr) {
  RectJob row;
  row.src = src;
  row.dst = out;
  row.width = n;
  row.height = 1;
  row.color = color;
  row.dstAlphaOr = dstAlphaOr;
  return row;
}

// The row's texels (for the stages that read them) through the operation's loop: sampled
// into the target row itself when they replace it, else beside it (or read where they lie
// in the texture).
void SampleThenLoop(const SpanJob& job, int dx, int dy, int n, uint32_t* out, uint32_t* scratch) {
  const uint32_t* src = nullptr;
  if (job.stage != StageKind::Constant) {
    src = job.write == WriteKind::Replace
              ? job.sample(job.texels, dx, dy, n, out, InPlace::No)
              : job.sample(job.texels, dx, dy, n, scratch, InPlace::Allowed);
  }
  job.loop(OneRow(src, out, n, job.color, job.dstAlphaOr));
}

// Any stage and any write through the shared per-pixel functions (and the loops where a
// step is one of theirs).
void ShadeEachPixel(const SpanJob& job, int dx, int dy, int n, uint32_t* out, uint32_t* scratch) {
  const RasterState& st = job.texels.st;
  uint32_t* work = job.write == WriteKind::Replace ? out : scratch;
  const uint32_t* src = work;
  if (job.stage == StageKind::Constant) {
    std::fill(work, work + n, job.color);
  } else if (job.stage == StageKind::Texture) {
    src = job.sample(job.texels, dx, dy, n, work,
                     job.write == WriteKind::Replace ? InPlace::No : InPlace::Allowed);
  } else {
    if (st.hasTexture) {
      job.sample(job.texels, dx, dy, n, work, InPlace::No);
    } else {
      std::fill(work, work + n, 0xFFFFFFFFu);
    }
    if (job.stage == StageKind::ModulateConstant) {
      (st.avx2 ? ModulateRectAvx2 : ModulateRect)(OneRow(work, work, n, job.color, 0));
    } else {
      for (int k = 0; k < n; ++k)
        work[k] = CombineStage(st, DiffuseAt(job.texels.su, dx + k, dy), work[k]);
    }
  }
  if (job.write == WriteKind::Replace) {
    if (job.dstAlphaOr != 0)
      for (int k = 0; k < n; ++k) out[k] |= job.dstAlphaOr;
  } else if (job.write == WriteKind::Over) {
    (st.avx2 ? OverRectAvx2 : OverRect)(OneRow(src, out, n, 0, job.dstAlphaOr));
  } else {
    for (int k = 0; k < n; ++k) {
      const uint32_t color = src[k];
      if (st.alphaTest && !CompareFunc(st.alphaFunc, color >> 24, st.alphaRef & 255)) continue;
      out[k] = FinishPixel(st, st.blend ? BlendPixel(st, color, out[k]) : color, out[k]);
    }
  }
}

enum class Isa { Sse2, Avx2 };

// The loops, keyed by the stage and the write; the first that matches is taken. Draws of
// any other kind shade each pixel through the shared functions.
struct LoopEntry {
  StageKind stage;
  WriteKind write;
  Isa isa;  // Avx2: only with RasterState::avx2
  RectLoop loop;
};
constexpr LoopEntry kLoops[] = {
    {StageKind::Constant, WriteKind::Replace, Isa::Sse2, FillRect},
    {StageKind::Constant, WriteKind::Over, Isa::Avx2, ConstantOverRectAvx2},
    {StageKind::Constant, WriteKind::Over, Isa::Sse2, ConstantOverRect},
    {StageKind::Texture, WriteKind::Replace, Isa::Sse2, CopyRect},
    {StageKind::Texture, WriteKind::Over, Isa::Avx2, OverRectAvx2},
    {StageKind::Texture, WriteKind::Over, Isa::Sse2, OverRect},
    {StageKind::ModulateConstant, WriteKind::Replace, Isa::Avx2, ModulateRectAvx2},
    {StageKind::ModulateConstant, WriteKind::Replace, Isa::Sse2, ModulateRect},
    {StageKind::ModulateConstant, WriteKind::Over, Isa::Avx2, ModulateOverRectAvx2},
    {StageKind::ModulateConstant, WriteKind::Over, Isa::Sse2, ModulateOverRect},
};

RectLoop ChooseLoop(StageKind stage, WriteKind write, bool avx2) {
  for (const LoopEntry& entry : kLoops) {
    if (entry.stage == stage && entry.write == write && (entry.isa == Isa::Sse2 || avx2))
      return entry.loop;
  }
  return nullptr;
}

// The texels of a rectangle drawn at the texture's own scale with point sampling, all
// inside the texture: pixel (minX + dx, minY + dy) shows texel (i0 + dx, j0 + dy). False
// for any other rectangle.
bool TexelsOneToOne(const RasterState& st, const TriangleSetup& su, int* i0, int* j0) {
  constexpr int64_t kOneTexel = int64_t{1} << kCoordFracBits;
  const uint32_t filter = su.minify ? st.minFilter : st.magFilter;
  if (!su.rectangle || st.texture.format != D3DFMT_A8R8G8B8 ||
      (filter != D3DTEXF_POINT && filter != D3DTEXF_NONE) || su.s.fx != kOneTexel || su.s.fy != 0 ||
      su.t.fx != 0 || su.t.fy != kOneTexel) {
    return false;
  }
  // Whole texel steps keep the sub-texel fraction: the texel index steps by one exactly.
  *i0 = CoordToSub(su.s.f0) >> 8;
  *j0 = CoordToSub(su.t.f0) >> 8;
  return *i0 >= 0 && *j0 >= 0 && *i0 + (su.maxX - su.minX) <= st.texture.width &&
         *j0 + (su.maxY - su.minY) <= st.texture.height;
}

// A rectangle whose every row is the operation's loop on texels read where they lie (or
// none): the whole draw is one call of the loop. False when the draw is not such a one.
bool DrawRectangleInOneLoop(const RasterState& st, const TriangleSetup& su, const SpanJob& job) {
  if (!su.rectangle || job.loop == nullptr) return false;
  int i0 = 0, j0 = 0;
  if (job.stage != StageKind::Constant && !TexelsOneToOne(st, su, &i0, &j0)) return false;
  const int x0 = std::max(su.minX, st.scissorLeft), x1 = std::min(su.maxX, st.scissorRight);
  const int y0 = std::max(su.minY, st.scissorTop), y1 = std::min(su.maxY, st.scissorBottom);
  if (x0 >= x1 || y0 >= y1) return true;
  RectJob rect;
  if (job.stage != StageKind::Constant) {
    rect.srcPitch = st.texture.pitch / 4;
    rect.src = reinterpret_cast<const uint32_t*>(st.texture.bits) +
               (j0 + y0 - su.minY) * rect.srcPitch + (i0 + x0 - su.minX);
  }
  rect.dstPitch = st.target.pitch / 4;
  rect.dst = reinterpret_cast<uint32_t*>(st.target.bits) + y0 * rect.dstPitch + x0;
  rect.width = x1 - x0;
  rect.height = y1 - y0;
  rect.color = job.color;
  rect.dstAlphaOr = job.dstAlphaOr;
  job.loop(rect);
  return true;
}

// Asks for the lines of pixels [left, right) x [top, bottom) of a 32-bit buffer, all at
// once. Pixels a tick old have left the caches, and rows of a few dozen pixels are too
// short for the processor to see a stream coming: asked for together, their loads
// overlap instead of stalling one row after another.
void PrefetchPixels(const uint8_t* bits, int pitch, int left, int top, int right, int bottom) {
  if (left >= right) return;
  for (int y = top; y < bottom; ++y) {
    const uint8_t* row = bits + static_cast<ptrdiff_t>(y) * pitch;
    const uint8_t* last = row + static_cast<ptrdiff_t>(right - 1) * 4;
    for (const uint8_t* p = row + static_cast<ptrdiff_t>(left) * 4; p < last; p += 64)
      __builtin_prefetch(p);
    __builtin_prefetch(last);
  }
}

// A damaged box is redrawn a tick after its texels were last read: they are asked for
// before the first row is drawn. Larger draws stream well on their own.
constexpr int64_t kMaxPrefetchedTexels = 16384;

void PrefetchTexels(const RasterState& st, const TriangleSetup& su) {
  const PixelBuffer& tex = st.texture;
  const int x0 = std::max(su.minX, st.scissorLeft), x1 = std::min(su.maxX, st.scissorRight);
  const int y0 = std::max(su.minY, st.scissorTop), y1 = std::min(su.maxY, st.scissorBottom);
  if (x0 >= x1 || y0 >= y1 || tex.bits == nullptr || FormatBytes(tex.format) != 4) return;
  // The texels the corners map to, one more on each side for filtering; the mapping is
  // affine, so the corners bound every pixel between them.
  int i0 = INT32_MAX, i1 = INT32_MIN, j0 = INT32_MAX, j1 = INT32_MIN;
  for (const int dx : {x0 - su.minX, x1 - 1 - su.minX}) {
    for (const int dy : {y0 - su.minY, y1 - 1 - su.minY}) {
      const int i = CoordToSub(su.s.At(dx, dy)) >> 8, j = CoordToSub(su.t.At(dx, dy)) >> 8;
      i0 = std::min(i0, i);
      i1 = std::max(i1, i);
      j0 = std::min(j0, j);
      j1 = std::max(j1, j);
    }
  }
  i0 = std::max(i0 - 1, 0);
  j0 = std::max(j0 - 1, 0);
  i1 = std::min(i1 + 1, tex.width - 1);
  j1 = std::min(j1 + 1, tex.height - 1);
  if (i0 > i1 || j0 > j1 || int64_t{i1 - i0 + 1} * (j1 - j0 + 1) > kMaxPrefetchedTexels) return;
  PrefetchPixels(tex.bits, tex.pitch, i0, j0, i1 + 1, j1 + 1);
}

}  // namespace

bool IgnoresDestination(const RasterState& st, const TriangleSetup& su) {
  if (!su.affine || st.depthTest || st.colorWriteMask != 0xF) return false;
  if (st.hasTexture && FormatBytes(st.texture.format) == 0) return false;
  switch (ClassifyWrite(st)) {
    case WriteKind::Replace:
      return true;
    case WriteKind::Over:
      return SourceOpaque(st, su, ClassifyStage(st, su));
    case WriteKind::Generic:
      break;
  }
  return false;
}

bool DrawTriangleFast(const RasterState& st, const TriangleSetup& su) {
  if (!su.affine || st.depthTest || st.colorWriteMask != 0xF) return false;
  if (st.hasTexture && FormatBytes(st.texture.format) == 0) return false;
  static thread_local LinearColumns columns;
  const StageKind stage = ClassifyStage(st, su);
  const WriteKind base = ClassifyWrite(st);
  // A source that is opaque everywhere makes "over" a plain replacement, which samples
  // straight into the target row.
  const WriteKind write =
      (base == WriteKind::Over && SourceOpaque(st, su, stage)) ? WriteKind::Replace : base;
  const uint32_t color =
      stage == StageKind::Constant ? CombineStage(st, su.flatColor, 0xFFFFFFFFu) : su.flatColor;
  const uint32_t dstAlphaOr = st.target.format == D3DFMT_X8R8G8B8 ? 0xFF000000u : 0u;
  const RectLoop loop = stage == StageKind::Generic ? nullptr : ChooseLoop(stage, write, st.avx2);
  SpanJob job{{st, su, columns}, nullptr, stage, write, loop, color, dstAlphaOr};
  if (st.hasTexture && stage != StageKind::Constant) PrefetchTexels(st, su);
  if (DrawRectangleInOneLoop(st, su, job)) return true;
  job.sample = ChooseTexelSpan(st, su, &columns);
  const SpanRoutine routine = loop != nullptr ? SampleThenLoop : ShadeEachPixel;

  const int width = su.maxX - su.minX;
  // Rows that replace the target's pixels need no scratch: they go in one piece.
  const int chunk = write == WriteKind::Replace ? width : kChunk;
  alignas(16) uint32_t scratch[kChunk];
  RowSpans spans(su, width);
  const int scissorLo = st.scissorLeft <= su.minX ? 0 : st.scissorLeft - su.minX;
  const int scissorHi = st.scissorRight >= su.maxX ? width : st.scissorRight - su.minX;
  for (int y = su.minY; y < su.maxY; ++y) {
    int lo = 0, hi = 0;
    if (!spans.Next(&lo, &hi)) continue;
    if (y < st.scissorTop || y >= st.scissorBottom) continue;
    lo = std::max(lo, scissorLo);
    hi = std::min(hi, scissorHi);
    uint32_t* row =
        reinterpret_cast<uint32_t*>(st.target.bits + static_cast<ptrdiff_t>(y) * st.target.pitch) +
        su.minX;
    for (int dx = lo; dx < hi; dx += chunk)
      routine(job, dx, y - su.minY, std::min(chunk, hi - dx), row + dx, scratch);
  }
  return true;
}

}  // namespace vm_d3d9
