// The fast rasteriser path: spans instead of per-pixel edge tests, plane equations
// stepped instead of evaluated, and specialised loops for the draws the saver makes
// (textured quads of A8R8G8B8/X8R8G8B8 textures, modulated by a constant colour, written
// or alpha blended). Every loop computes exactly what the plain path computes; anything
// it does not specialise goes through the shared per-pixel functions.
#include <emmintrin.h>

#include <cstring>
#include <vector>

#include "platform/d3d9/raster_internal.h"

namespace vm_d3d9 {
namespace {

constexpr int kChunk = 256;
constexpr int64_t kOneTexel = int64_t{1} << kCoordFracBits;

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

// Bilinear in 16-bit lanes: (a x (256 - f) + b x f + 128) >> 8.
inline __m128i Lerp256x8(__m128i a, __m128i b, __m128i wa, __m128i wb) {
  const __m128i sum = _mm_add_epi16(_mm_mullo_epi16(a, wa), _mm_mullo_epi16(b, wb));
  return _mm_srli_epi16(_mm_add_epi16(sum, _mm_set1_epi16(128)), 8);
}

// Bilinear sampling where the texel column depends on x alone (no rotation): the column
// and the horizontal weights of every pixel offset, computed once per triangle.
struct LinearColumns {
  bool valid = false;
  std::vector<int32_t> index;        // left texel, or -1 where a neighbour needs addressing
  std::vector<int32_t> left, right;  // both texels after addressing (-1: border colour)
  struct alignas(16) Weights {
    int16_t lanes[8];  // 256 - fx in the low four lanes, fx in the high four
  };
  std::vector<Weights> weights;
};

void BuildLinearColumns(const RasterState& st, const TriangleSetup& su, LinearColumns* columns) {
  const int width = su.maxX - su.minX;
  columns->index.resize(static_cast<size_t>(width));
  columns->left.resize(static_cast<size_t>(width));
  columns->right.resize(static_cast<size_t>(width));
  columns->weights.resize(static_cast<size_t>(width));
  for (int dx = 0; dx < width; ++dx) {
    const int s = CoordToSub(su.s.At(dx, 0)) - 128;
    const int i0 = s >> 8;
    const short fx = static_cast<short>(s & 255);
    columns->index[static_cast<size_t>(dx)] = (i0 >= 0 && i0 + 1 < st.texture.width) ? i0 : -1;
    columns->left[static_cast<size_t>(dx)] = AddressTexel(i0, st.texture.width, st.addressU);
    columns->right[static_cast<size_t>(dx)] = AddressTexel(i0 + 1, st.texture.width, st.addressU);
    _mm_store_si128(
        reinterpret_cast<__m128i*>(columns->weights[static_cast<size_t>(dx)].lanes),
        _mm_set_epi16(fx, fx, fx, fx, static_cast<short>(256 - fx), static_cast<short>(256 - fx),
                      static_cast<short>(256 - fx), static_cast<short>(256 - fx)));
  }
  columns->valid = true;
}

// Bilinear filtering of n pixels one texel apart: pixel k blends texels k and k + 1 of
// row0 and row1 with the same weights fy (vertical, first) and fx for every pixel, so the
// row needs no per-pixel columns. Weight 0 takes the first texel as it is and weight 128
// is the rounded mean (a x 128 + b x 128 + 128) >> 8 = (a + b + 1) >> 1, which is what
// the byte average instruction computes: the wallpaper drawn at its own size, whose
// pixel centres fall on texel corners, costs two averages a pixel.
void LinearRowOneToOne(const uint32_t* row0, const uint32_t* row1, uint32_t fx, uint32_t fy, int n,
                       uint32_t alphaOr, uint32_t* out) {
  const __m128i zero = _mm_setzero_si128();
  const __m128i alpha = _mm_set1_epi32(static_cast<int>(alphaOr));
  const __m128i wy0 = _mm_set1_epi16(static_cast<short>(256 - fy)),
                wy1 = _mm_set1_epi16(static_cast<short>(fy));
  const __m128i wx0 = _mm_set1_epi16(static_cast<short>(256 - fx)),
                wx1 = _mm_set1_epi16(static_cast<short>(fx));
  const auto load = [](const uint32_t* p) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
  };
  const auto lerp = [&](__m128i a, __m128i b, uint32_t f, __m128i w0, __m128i w1) {
    if (f == 0) return a;
    if (f == 128) return _mm_avg_epu8(a, b);
    const __m128i lo = Lerp256x8(_mm_unpacklo_epi8(a, zero), _mm_unpacklo_epi8(b, zero), w0, w1);
    const __m128i hi = Lerp256x8(_mm_unpackhi_epi8(a, zero), _mm_unpackhi_epi8(b, zero), w0, w1);
    return _mm_packus_epi16(lo, hi);
  };
  int k = 0;
  for (; k + 4 <= n; k += 4) {
    const __m128i left = lerp(load(row0 + k), load(row1 + k), fy, wy0, wy1);
    const __m128i right =
        fx == 0 ? left : lerp(load(row0 + k + 1), load(row1 + k + 1), fy, wy0, wy1);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + k),
                     _mm_or_si128(lerp(left, right, fx, wx0, wx1), alpha));
  }
  for (; k < n; ++k) {
    const uint32_t left = Lerp256(row0[k], row1[k], fy);
    const uint32_t right = Lerp256(row0[k + 1], row1[k + 1], fy);
    out[k] = Lerp256(left, right, fx) | alphaOr;
  }
}

const uint32_t* TexelRow(const PixelBuffer& tex, int j) {
  return reinterpret_cast<const uint32_t*>(tex.bits + static_cast<ptrdiff_t>(j) * tex.pitch);
}

// Samples n texels along a row into out (A8R8G8B8) and returns out; with `direct`, a run
// of texels that already sits in the texture as it is may be returned in place instead.
const uint32_t* SampleSpan(const RasterState& st, const TriangleSetup& su,
                           const LinearColumns& columns, int dx, int dy, int n, uint32_t* out,
                           bool direct) {
  const PixelBuffer& tex = st.texture;
  int64_t S = su.s.At(dx, dy), T = su.t.At(dx, dy);
  const int64_t dS = su.s.fx, dT = su.t.fx;
  const uint32_t filter = su.minify ? st.minFilter : st.magFilter;
  const bool point = filter == D3DTEXF_POINT || filter == D3DTEXF_NONE;
  const bool wide = tex.format == D3DFMT_A8R8G8B8 || tex.format == D3DFMT_X8R8G8B8;
  const uint32_t alphaOr = tex.format == D3DFMT_X8R8G8B8 ? 0xFF000000u : 0u;

  if (wide && dT == 0 && point) {
    const int j = AddressTexel(CoordToSub(T) >> 8, tex.height, st.addressV);
    if (j >= 0) {
      const uint32_t* row = TexelRow(tex, j);
      const int iFirst = CoordToSub(S) >> 8;
      const int iLast = CoordToSub(S + dS * (n - 1)) >> 8;
      if (std::min(iFirst, iLast) >= 0 && std::max(iFirst, iLast) < tex.width) {
        if (dS == kOneTexel) {
          // One texel per pixel: the texel row itself.
          if (direct && alphaOr == 0) return row + iFirst;
          std::memcpy(out, row + iFirst, static_cast<size_t>(n) * 4);
          if (alphaOr)
            for (int k = 0; k < n; ++k) out[k] |= alphaOr;
          return out;
        }
        for (int k = 0; k < n; ++k, S += dS) out[k] = row[CoordToSub(S) >> 8] | alphaOr;
        return out;
      }
      for (int k = 0; k < n; ++k, S += dS) {
        const int i = AddressTexel(CoordToSub(S) >> 8, tex.width, st.addressU);
        out[k] = i < 0 ? st.borderColor : (row[i] | alphaOr);
      }
      return out;
    }
  }
  if (wide && dT == 0 && !point) {
    const int t = CoordToSub(T) - 128;
    const int j0 = AddressTexel(t >> 8, tex.height, st.addressV);
    const int j1 = AddressTexel((t >> 8) + 1, tex.height, st.addressV);
    if (j0 >= 0 && j1 >= 0) {
      const uint32_t fy = static_cast<uint32_t>(t & 255);
      const uint32_t* row0 = TexelRow(tex, j0);
      const uint32_t* row1 = TexelRow(tex, j1);
      const __m128i zero = _mm_setzero_si128();
      const __m128i wy0 = _mm_set1_epi16(static_cast<short>(256 - fy));
      const __m128i wy1 = _mm_set1_epi16(static_cast<short>(fy));
      const __m128i alpha = _mm_set1_epi32(static_cast<int>(alphaOr));
      if (dS == kOneTexel) {
        // Pixel k sits at S + k texels: the same fraction fx for all, left texel i0 + k.
        const int s0 = CoordToSub(S) - 128;
        const int i0 = s0 >> 8;
        const int inFrom = std::clamp(-i0, 0, n);
        const int inTo = std::clamp(tex.width - 1 - i0, inFrom, n);
        const uint32_t fx = static_cast<uint32_t>(s0 & 255);
        // Pixels whose texel pair wraps or clamps across the texture's edge (the first
        // column of the own-size wallpaper) take their two columns one by one.
        const auto edge = [&](int k) {
          const int l = AddressTexel(i0 + k, tex.width, st.addressU);
          const int r = AddressTexel(i0 + k + 1, tex.width, st.addressU);
          if ((l | r) < 0) return SampleTexture(st, su, CoordToSub(S + dS * k), CoordToSub(T));
          return Lerp256(Lerp256(row0[l], row1[l], fy), Lerp256(row0[r], row1[r], fy), fx) |
                 alphaOr;
        };
        for (int k = 0; k < inFrom; ++k) out[k] = edge(k);
        if (inTo > inFrom) {
          LinearRowOneToOne(row0 + i0 + inFrom, row1 + i0 + inFrom, fx, fy, inTo - inFrom, alphaOr,
                            out + inFrom);
        }
        for (int k = inTo; k < n; ++k) out[k] = edge(k);
        return out;
      }
      if (columns.valid) {
        const int32_t* index = columns.index.data() + dx;
        const auto* weights = columns.weights.data() + dx;
        auto weight = [&](int k) {
          return _mm_load_si128(reinterpret_cast<const __m128i*>(weights[k].lanes));
        };
        auto vertical = [&](int32_t i) {
          const __m128i a =
              _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(row0 + i)), zero);
          const __m128i b =
              _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(row1 + i)), zero);
          return Lerp256x8(a, b, wy0, wy1);
        };
        // Two pixels at once; pixels whose two texels are not adjacent in memory (wrapped,
        // clamped or border) take the texels one by one.
        auto twoPixels = [&](int k) {
          const int32_t iA = index[k], iB = index[k + 1];
          if ((iA | iB) < 0) {
            for (int m = k; m < k + 2; ++m) {
              const int32_t l = columns.left[static_cast<size_t>(dx + m)];
              const int32_t r = columns.right[static_cast<size_t>(dx + m)];
              if ((l | r) < 0) {
                out[m] = SampleTexture(st, su, CoordToSub(S + dS * m), CoordToSub(T));
                continue;
              }
              auto pair = [&](const uint32_t* row) {
                return _mm_unpacklo_epi8(
                    _mm_unpacklo_epi32(_mm_cvtsi32_si128(static_cast<int>(row[l])),
                                       _mm_cvtsi32_si128(static_cast<int>(row[r]))),
                    zero);
              };
              const __m128i m1 =
                  _mm_mullo_epi16(Lerp256x8(pair(row0), pair(row1), wy0, wy1), weight(m));
              const __m128i h = _mm_srli_epi16(
                  _mm_add_epi16(_mm_add_epi16(m1, _mm_unpackhi_epi64(m1, m1)), _mm_set1_epi16(128)),
                  8);
              out[m] = static_cast<uint32_t>(_mm_cvtsi128_si32(_mm_packus_epi16(h, h))) | alphaOr;
            }
            return;
          }
          // Horizontal step of both pixels at once: left x (256 - fx) + right x fx.
          const __m128i mA = _mm_mullo_epi16(vertical(iA), weight(k));
          const __m128i mB = _mm_mullo_epi16(vertical(iB), weight(k + 1));
          const __m128i sum = _mm_add_epi16(_mm_unpacklo_epi64(mA, mB), _mm_unpackhi_epi64(mA, mB));
          const __m128i h = _mm_srli_epi16(_mm_add_epi16(sum, _mm_set1_epi16(128)), 8);
          _mm_storel_epi64(reinterpret_cast<__m128i*>(out + k),
                           _mm_or_si128(_mm_packus_epi16(h, h), alpha));
        };
        int k = 0;
        if (st.avx2) {
          // Four pixels at a time; a group that holds an edge pixel goes two by two.
          while (k + 4 <= n) {
            k += LinearSpanAvx2(row0, row1, fy, index + k, weights[k].lanes, n - k, alphaOr,
                                out + k);
            if (k + 4 > n) break;
            twoPixels(k);
            twoPixels(k + 2);
            k += 4;
          }
        }
        for (; k + 2 <= n; k += 2) twoPixels(k);
        for (; k < n; ++k) out[k] = SampleTexture(st, su, CoordToSub(S + dS * k), CoordToSub(T));
        return out;
      }
      for (int k = 0; k < n; ++k, S += dS) {
        const int s = CoordToSub(S) - 128;
        const int i0 = s >> 8;
        const uint32_t fx = static_cast<uint32_t>(s & 255);
        if (i0 >= 0 && i0 + 1 < tex.width) {
          const __m128i a = _mm_unpacklo_epi8(
              _mm_or_si128(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(row0 + i0)), alpha),
              zero);
          const __m128i b = _mm_unpacklo_epi8(
              _mm_or_si128(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(row1 + i0)), alpha),
              zero);
          const __m128i v = Lerp256x8(a, b, wy0, wy1);  // left texel in the low half
          const __m128i h =
              Lerp256x8(v, _mm_unpackhi_epi64(v, v), _mm_set1_epi16(static_cast<short>(256 - fx)),
                        _mm_set1_epi16(static_cast<short>(fx)));
          out[k] = static_cast<uint32_t>(_mm_cvtsi128_si32(_mm_packus_epi16(h, h)));
        } else {
          out[k] = SampleTexture(st, su, CoordToSub(S), CoordToSub(T));
        }
      }
      return out;
    }
  }
  for (int k = 0; k < n; ++k, S += dS, T += dT)
    out[k] = SampleTexture(st, su, CoordToSub(S), CoordToSub(T));
  return out;
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
    // The last one to three pixels go through the same vector code in a scratch block.
    alignas(16) uint32_t tail[4] = {};
    for (int m = k; m < n; ++m) tail[m - k] = p[m];
    ModulateSpan(color, 4, tail);
    for (int m = k; m < n; ++m) p[m] = tail[m - k];
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
    alignas(16) uint32_t s[4] = {}, d[4] = {};
    for (int m = k; m < n; ++m) {
      s[m - k] = src[m];
      d[m - k] = dst[m];
    }
    OverSpan(s, d, 4, dstAlphaOr);
    for (int m = k; m < n; ++m) dst[m] = d[m - k];
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
  const StageKind stage = ClassifyStage(st, su);
  const WriteKind base = ClassifyWrite(st);
  const uint32_t dstAlphaOr = st.target.format == D3DFMT_X8R8G8B8 ? 0xFF000000u : 0u;
  const uint32_t constant =
      stage == StageKind::Constant ? CombineStage(st, su.flatColor, 0xFFFFFFFFu) : 0;
  const int width = su.maxX - su.minX;
  alignas(16) uint32_t buffer[kChunk];
  static thread_local LinearColumns columns;
  columns.valid = false;
  const uint32_t filter = su.minify ? st.minFilter : st.magFilter;
  if (st.hasTexture && su.t.fx == 0 && su.s.fy == 0 && su.s.fx != kOneTexel &&
      filter == D3DTEXF_LINEAR &&
      (st.texture.format == D3DFMT_A8R8G8B8 || st.texture.format == D3DFMT_X8R8G8B8)) {
    BuildLinearColumns(st, su, &columns);
  }

  // A source that is opaque everywhere makes "over" a plain replacement, which samples
  // straight into the target row.
  const WriteKind write =
      (base == WriteKind::Over && SourceOpaque(st, su, stage)) ? WriteKind::Replace : base;

  RowSpans spans(su, width);
  const int scissorLo = st.scissorLeft <= su.minX ? 0 : st.scissorLeft - su.minX;
  const int scissorHi = st.scissorRight >= su.maxX ? width : st.scissorRight - su.minX;
  for (int y = su.minY; y < su.maxY; ++y) {
    const int dy = y - su.minY;
    int lo = 0, hi = 0;
    if (!spans.Next(&lo, &hi)) continue;
    if (y < st.scissorTop || y >= st.scissorBottom) continue;
    lo = std::max(lo, scissorLo);
    hi = std::min(hi, scissorHi);
    uint32_t* row =
        reinterpret_cast<uint32_t*>(st.target.bits + static_cast<ptrdiff_t>(y) * st.target.pitch) +
        su.minX;
    for (int dx = lo; dx < hi; dx += kChunk) {
      const int n = std::min(kChunk, hi - dx);
      uint32_t* out = row + dx;
      uint32_t* work = write == WriteKind::Replace ? out : buffer;
      const uint32_t* src = work;
      switch (stage) {
        case StageKind::Constant:
          std::fill(work, work + n, constant);
          break;
        case StageKind::Texture:
          src = SampleSpan(st, su, columns, dx, dy, n, work, write != WriteKind::Replace);
          break;
        case StageKind::ModulateConstant:
          if (st.avx2 && write == WriteKind::Over) {
            // Modulation and blending in one pass, straight from the texel row if it can.
            src = SampleSpan(st, su, columns, dx, dy, n, work, true);
            ModulateOverSpanAvx2(src, su.flatColor, out, n, dstAlphaOr);
            continue;
          }
          SampleSpan(st, su, columns, dx, dy, n, work, false);
          if (st.avx2) {
            ModulateSpanAvx2(su.flatColor, n, work);
          } else {
            ModulateSpan(su.flatColor, n, work);
          }
          break;
        case StageKind::Generic:
          if (st.hasTexture) {
            SampleSpan(st, su, columns, dx, dy, n, work, false);
          } else {
            std::fill(work, work + n, 0xFFFFFFFFu);
          }
          for (int k = 0; k < n; ++k)
            work[k] = CombineStage(st, DiffuseAt(su, dx + k, dy), work[k]);
          break;
      }
      switch (write) {
        case WriteKind::Replace:
          if (dstAlphaOr != 0)
            for (int k = 0; k < n; ++k) out[k] |= dstAlphaOr;
          break;
        case WriteKind::Over:
          if (st.avx2) {
            OverSpanAvx2(src, out, n, dstAlphaOr);
          } else {
            OverSpan(src, out, n, dstAlphaOr);
          }
          break;
        case WriteKind::Generic:
          for (int k = 0; k < n; ++k) {
            const uint32_t color = src[k];
            if (st.alphaTest && !CompareFunc(st.alphaFunc, color >> 24, st.alphaRef & 255))
              continue;
            out[k] = FinishPixel(st, st.blend ? BlendPixel(st, color, out[k]) : color, out[k]);
          }
          break;
      }
    }
  }
  return true;
}

}  // namespace vm_d3d9
