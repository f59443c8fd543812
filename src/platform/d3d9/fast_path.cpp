// The fast rasteriser path: spans instead of per-pixel edge tests, plane equations
// stepped instead of evaluated, and specialised loops for the draws the saver makes
// (textured quads of A8R8G8B8/X8R8G8B8 textures, modulated by a constant colour, written
// or alpha blended). Every loop computes exactly what the plain path computes; anything
// it does not specialise goes through the shared per-pixel functions.
#include <emmintrin.h>

#include <algorithm>

#include "platform/d3d9/raster_internal.h"
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

// Div255 on eight 16-bit lanes (t <= 255 x 255 fits unsigned 16 bits with the 128 added).
inline __m128i Div255x8(__m128i t) {
  t = _mm_add_epi16(t, _mm_set1_epi16(128));
  return _mm_srli_epi16(_mm_add_epi16(t, _mm_srli_epi16(t, 8)), 8);
}

inline __m128i MulDiv255x8(__m128i x, __m128i y) { return Div255x8(_mm_mullo_epi16(x, y)); }

// What every span of a triangle reads, fixed by the triangle.
struct SpanJob {
  TexelSpanJob texels;
  TexelSpanRoutine sample;  // null without a texture
  StageKind stage;
  WriteKind write;
  uint32_t constant;    // the Constant stage's colour
  uint32_t dstAlphaOr;  // 0xFF000000 on an X8R8G8B8 target
};

// Draws the n pixels of row dy from offset dx on; out is the target row at dx, scratch
// holds kChunk pixels.
using SpanRoutine = void (*)(const SpanJob& job, int dx, int dy, int n, uint32_t* out,
                             uint32_t* scratch);

void SetTargetAlpha(const SpanJob& job, uint32_t* out, int n) {
  if (job.dstAlphaOr != 0)
    for (int k = 0; k < n; ++k) out[k] |= job.dstAlphaOr;
}

void Over(const SpanJob& job, const uint32_t* src, uint32_t* out, int n) {
  if (job.texels.st.avx2) {
    OverSpanAvx2(src, out, n, job.dstAlphaOr);
  } else {
    OverSpan(src, out, n, job.dstAlphaOr);
  }
}

void Modulate(const SpanJob& job, int n, uint32_t* p) {
  if (job.texels.st.avx2) {
    ModulateSpanAvx2(job.texels.su.flatColor, n, p);
  } else {
    ModulateSpan(job.texels.su.flatColor, n, p);
  }
}

void FillConstant(const SpanJob& job, int, int, int n, uint32_t* out, uint32_t*) {
  std::fill(out, out + n, job.constant | job.dstAlphaOr);
}

void ConstantOver(const SpanJob& job, int, int, int n, uint32_t* out, uint32_t* scratch) {
  std::fill(scratch, scratch + n, job.constant);
  Over(job, scratch, out, n);
}

void CopyTexels(const SpanJob& job, int dx, int dy, int n, uint32_t* out, uint32_t*) {
  job.sample(job.texels, dx, dy, n, out, InPlace::No);
  SetTargetAlpha(job, out, n);
}

void TexelsOver(const SpanJob& job, int dx, int dy, int n, uint32_t* out, uint32_t* scratch) {
  Over(job, job.sample(job.texels, dx, dy, n, scratch, InPlace::Allowed), out, n);
}

void ModulateTexels(const SpanJob& job, int dx, int dy, int n, uint32_t* out, uint32_t*) {
  job.sample(job.texels, dx, dy, n, out, InPlace::No);
  Modulate(job, n, out);
  SetTargetAlpha(job, out, n);
}

void ModulateTexelsOver(const SpanJob& job, int dx, int dy, int n, uint32_t* out,
                        uint32_t* scratch) {
  const uint32_t* src = job.sample(job.texels, dx, dy, n, scratch, InPlace::Allowed);
  ModulateOverSpan(src, job.texels.su.flatColor, out, n, job.dstAlphaOr);
}

// Modulation and blending in one pass, straight from the texel row if it can.
void ModulateTexelsOverAvx2(const SpanJob& job, int dx, int dy, int n, uint32_t* out,
                            uint32_t* scratch) {
  const uint32_t* src = job.sample(job.texels, dx, dy, n, scratch, InPlace::Allowed);
  ModulateOverSpanAvx2(src, job.texels.su.flatColor, out, n, job.dstAlphaOr);
}

// Any stage and any write through the shared per-pixel functions.
void ShadeEachPixel(const SpanJob& job, int dx, int dy, int n, uint32_t* out, uint32_t* scratch) {
  const RasterState& st = job.texels.st;
  uint32_t* work = job.write == WriteKind::Replace ? out : scratch;
  const uint32_t* src = work;
  if (job.stage == StageKind::Constant) {
    std::fill(work, work + n, job.constant);
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
      Modulate(job, n, work);
    } else {
      for (int k = 0; k < n; ++k)
        work[k] = CombineStage(st, DiffuseAt(job.texels.su, dx + k, dy), work[k]);
    }
  }
  if (job.write == WriteKind::Replace) {
    SetTargetAlpha(job, out, n);
  } else if (job.write == WriteKind::Over) {
    Over(job, src, out, n);
  } else {
    for (int k = 0; k < n; ++k) {
      const uint32_t color = src[k];
      if (st.alphaTest && !CompareFunc(st.alphaFunc, color >> 24, st.alphaRef & 255)) continue;
      out[k] = FinishPixel(st, st.blend ? BlendPixel(st, color, out[k]) : color, out[k]);
    }
  }
}

enum class Isa { Sse2, Avx2 };

// The span routines, keyed by the stage and the write; the first that matches is taken.
// Draws of any other kind shade each pixel through the shared functions.
struct SpanEntry {
  StageKind stage;
  WriteKind write;
  Isa isa;  // Avx2: only with RasterState::avx2
  SpanRoutine routine;
};
constexpr SpanEntry kSpanRoutines[] = {
    {StageKind::Constant, WriteKind::Replace, Isa::Sse2, FillConstant},
    {StageKind::Constant, WriteKind::Over, Isa::Sse2, ConstantOver},
    {StageKind::Texture, WriteKind::Replace, Isa::Sse2, CopyTexels},
    {StageKind::Texture, WriteKind::Over, Isa::Sse2, TexelsOver},
    {StageKind::ModulateConstant, WriteKind::Replace, Isa::Sse2, ModulateTexels},
    {StageKind::ModulateConstant, WriteKind::Over, Isa::Avx2, ModulateTexelsOverAvx2},
    {StageKind::ModulateConstant, WriteKind::Over, Isa::Sse2, ModulateTexelsOver},
};

SpanRoutine ChooseSpanRoutine(StageKind stage, WriteKind write, bool avx2) {
  for (const SpanEntry& entry : kSpanRoutines) {
    if (entry.stage == stage && entry.write == write && (entry.isa == Isa::Sse2 || avx2))
      return entry.routine;
  }
  return ShadeEachPixel;
}

// The last one to three pixels of a span go through the same vector code: `span` runs on
// a block of four holding copies of them, zero-padded, and only those pixels are written
// back. `src` may be null for spans that only rewrite `dst`.
template <typename Span>
void FinishSpanTail(const uint32_t* src, uint32_t* dst, int k, int n, Span span) {
  alignas(16) uint32_t s[4] = {}, d[4] = {};
  for (int m = k; m < n; ++m) {
    if (src != nullptr) s[m - k] = src[m];
    d[m - k] = dst[m];
  }
  span(s, d);
  for (int m = k; m < n; ++m) dst[m] = d[m - k];
}

}  // namespace

void ModulateSpan(uint32_t color, int n, uint32_t* p) {
  const __m128i zero = _mm_setzero_si128();
  const __m128i c = _mm_unpacklo_epi8(_mm_set1_epi32(static_cast<int>(color)), zero);
  int k = 0;
  for (; k + 4 <= n; k += 4) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + k));
    const __m128i lo = MulDiv255x8(_mm_unpacklo_epi8(v, zero), c);
    const __m128i hi = MulDiv255x8(_mm_unpackhi_epi8(v, zero), c);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(p + k), _mm_packus_epi16(lo, hi));
  }
  if (k < n) {
    FinishSpanTail(nullptr, p, k, n,
                   [&](const uint32_t*, uint32_t* d) { ModulateSpan(color, 4, d); });
  }
}

// Div255(s x a + d x (255 - a)) on two pixels' 16-bit lanes.
inline __m128i Over8(__m128i s, __m128i d) {
  const __m128i a = _mm_shufflehi_epi16(_mm_shufflelo_epi16(s, 0xFF), 0xFF);
  return Div255x8(_mm_add_epi16(_mm_mullo_epi16(s, a),
                                _mm_mullo_epi16(d, _mm_sub_epi16(_mm_set1_epi16(255), a))));
}

void ModulateOverSpan(const uint32_t* src, uint32_t color, uint32_t* dst, int n,
                      uint32_t dstAlphaOr) {
  const __m128i zero = _mm_setzero_si128();
  const __m128i c = _mm_unpacklo_epi8(_mm_set1_epi32(static_cast<int>(color)), zero);
  const __m128i alphaMask = _mm_set1_epi32(static_cast<int>(0xFF000000u));
  const __m128i dstOr = _mm_set1_epi32(static_cast<int>(dstAlphaOr));
  const bool opaqueColor = color >> 24 == 255;
  int k = 0;
  for (; k + 4 <= n; k += 4) {
    const __m128i t = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + k));
    const __m128i a = _mm_and_si128(t, alphaMask);
    // Texel alpha 0 stays 0 after modulation: the destination is kept.
    if (_mm_movemask_epi8(_mm_cmpeq_epi32(a, zero)) == 0xFFFF) continue;
    const __m128i sl = MulDiv255x8(_mm_unpacklo_epi8(t, zero), c);
    const __m128i sh = MulDiv255x8(_mm_unpackhi_epi8(t, zero), c);
    if (opaqueColor && _mm_movemask_epi8(_mm_cmpeq_epi32(a, alphaMask)) == 0xFFFF) {
      _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + k),
                       _mm_or_si128(_mm_packus_epi16(sl, sh), dstOr));
      continue;
    }
    const __m128i d =
        _mm_or_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(dst + k)), dstOr);
    const __m128i rl = Over8(sl, _mm_unpacklo_epi8(d, zero));
    const __m128i rh = Over8(sh, _mm_unpackhi_epi8(d, zero));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + k),
                     _mm_or_si128(_mm_packus_epi16(rl, rh), dstOr));
  }
  if (k < n) {
    FinishSpanTail(src, dst, k, n, [&](const uint32_t* s, uint32_t* d) {
      ModulateOverSpan(s, color, d, 4, dstAlphaOr);
    });
  }
}

// Source over destination with SRCALPHA / INVSRCALPHA / ADD.
void OverSpan(const uint32_t* src, uint32_t* dst, int n, uint32_t dstAlphaOr) {
  const __m128i zero = _mm_setzero_si128();
  const __m128i c255 = _mm_set1_epi16(255);
  const __m128i alphaMask = _mm_set1_epi32(static_cast<int>(0xFF000000u));
  const __m128i dstOr = _mm_set1_epi32(static_cast<int>(dstAlphaOr));
  int k = 0;
  for (; k + 4 <= n; k += 4) {
    const __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + k));
    const __m128i a = _mm_and_si128(s, alphaMask);
    const int opaque = _mm_movemask_epi8(_mm_cmpeq_epi32(a, alphaMask));
    if (opaque == 0xFFFF) {
      _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + k), _mm_or_si128(s, dstOr));
      continue;
    }
    const int clear = _mm_movemask_epi8(_mm_cmpeq_epi32(a, zero));
    if (clear == 0xFFFF) continue;
    const __m128i d =
        _mm_or_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(dst + k)), dstOr);
    const __m128i sl = _mm_unpacklo_epi8(s, zero), sh = _mm_unpackhi_epi8(s, zero);
    const __m128i dl = _mm_unpacklo_epi8(d, zero), dh = _mm_unpackhi_epi8(d, zero);
    const __m128i al = _mm_shufflehi_epi16(_mm_shufflelo_epi16(sl, 0xFF), 0xFF);
    const __m128i ah = _mm_shufflehi_epi16(_mm_shufflelo_epi16(sh, 0xFF), 0xFF);
    const __m128i rl = Div255x8(
        _mm_add_epi16(_mm_mullo_epi16(sl, al), _mm_mullo_epi16(dl, _mm_sub_epi16(c255, al))));
    const __m128i rh = Div255x8(
        _mm_add_epi16(_mm_mullo_epi16(sh, ah), _mm_mullo_epi16(dh, _mm_sub_epi16(c255, ah))));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + k),
                     _mm_or_si128(_mm_packus_epi16(rl, rh), dstOr));
  }
  if (k < n) {
    FinishSpanTail(src, dst, k, n,
                   [&](const uint32_t* s, uint32_t* d) { OverSpan(s, d, 4, dstAlphaOr); });
  }
}

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
  const SpanJob job{{st, su, columns},
                    ChooseTexelSpan(st, su, &columns),
                    stage,
                    write,
                    stage == StageKind::Constant ? CombineStage(st, su.flatColor, 0xFFFFFFFFu) : 0,
                    st.target.format == D3DFMT_X8R8G8B8 ? 0xFF000000u : 0u};
  const SpanRoutine routine = ChooseSpanRoutine(stage, write, st.avx2);

  const int width = su.maxX - su.minX;
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
    for (int dx = lo; dx < hi; dx += kChunk)
      routine(job, dx, y - su.minY, std::min(kChunk, hi - dx), row + dx, scratch);
  }
  return true;
}

}  // namespace vm_d3d9
