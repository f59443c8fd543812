#include "platform/d3d9/texel_spans.h"

#include <algorithm>
#include <cstring>

namespace vm_d3d9 {
namespace {

constexpr int64_t kOneTexel = int64_t{1} << kCoordFracBits;

// Bilinear in 16-bit lanes: (a x (256 - f) + b x f + 128) >> 8.
inline __m128i Lerp256x8(__m128i a, __m128i b, __m128i wa, __m128i wb) {
  const __m128i sum = _mm_add_epi16(_mm_mullo_epi16(a, wa), _mm_mullo_epi16(b, wb));
  return _mm_srli_epi16(_mm_add_epi16(sum, _mm_set1_epi16(128)), 8);
}

// One or two texels (the first in the low half), a channel per 16-bit lane.
inline __m128i Widen(uint64_t texels) {
  return _mm_unpacklo_epi8(_mm_cvtsi64_si128(static_cast<long long>(texels)), _mm_setzero_si128());
}

const uint32_t* TexelRow(const PixelBuffer& tex, int j) {
  return reinterpret_cast<const uint32_t*>(tex.bits + static_cast<ptrdiff_t>(j) * tex.pitch);
}

// X8R8G8B8 texels read with alpha 255.
uint32_t TexelAlphaOr(const PixelBuffer& tex) {
  return tex.format == D3DFMT_X8R8G8B8 ? 0xFF000000u : 0u;
}

const uint32_t* PerPixelSpan(const TexelSpanJob& job, int dx, int dy, int n, uint32_t* out,
                             InPlace) {
  int64_t s = job.su.s.At(dx, dy), t = job.su.t.At(dx, dy);
  for (int k = 0; k < n; ++k, s += job.su.s.fx, t += job.su.t.fx)
    out[k] = SampleTexture(job.st, job.su, CoordToSub(s), CoordToSub(t));
  return out;
}

// Point sampling along one texel row.
const uint32_t* PointRowSpan(const TexelSpanJob& job, int dx, int dy, int n, uint32_t* out,
                             InPlace inPlace) {
  const PixelBuffer& tex = job.st.texture;
  const int j = AddressTexel(CoordToSub(job.su.t.At(dx, dy)) >> 8, tex.height, job.st.addressV);
  if (j < 0) return PerPixelSpan(job, dx, dy, n, out, inPlace);
  const uint32_t* row = TexelRow(tex, j);
  const uint32_t alphaOr = TexelAlphaOr(tex);
  const int64_t dS = job.su.s.fx;
  int64_t s = job.su.s.At(dx, dy);
  const int iFirst = CoordToSub(s) >> 8;
  const int iLast = CoordToSub(s + dS * (n - 1)) >> 8;
  if (std::min(iFirst, iLast) < 0 || std::max(iFirst, iLast) >= tex.width) {
    for (int k = 0; k < n; ++k, s += dS) {
      const int i = AddressTexel(CoordToSub(s) >> 8, tex.width, job.st.addressU);
      out[k] = i < 0 ? job.st.borderColor : (row[i] | alphaOr);
    }
    return out;
  }
  if (dS != kOneTexel) {
    for (int k = 0; k < n; ++k, s += dS) out[k] = row[CoordToSub(s) >> 8] | alphaOr;
    return out;
  }
  // One texel per pixel: the texel row itself.
  if (inPlace == InPlace::Allowed && alphaOr == 0) return row + iFirst;
  std::memcpy(out, row + iFirst, static_cast<size_t>(n) * 4);
  if (alphaOr)
    for (int k = 0; k < n; ++k) out[k] |= alphaOr;
  return out;
}

// The two texel rows a bilinear row samples between, and the vertical weight.
struct LinearRows {
  const uint32_t* row0;
  const uint32_t* row1;
  uint32_t fy;
  __m128i wy0, wy1;  // 256 - fy and fy in every 16-bit lane
};

// False when a row is the border colour (the span then goes pixel by pixel).
bool LinearRowsAt(const TexelSpanJob& job, int dx, int dy, LinearRows* rows) {
  const PixelBuffer& tex = job.st.texture;
  const int t = CoordToSub(job.su.t.At(dx, dy)) - 128;
  const int j0 = AddressTexel(t >> 8, tex.height, job.st.addressV);
  const int j1 = AddressTexel((t >> 8) + 1, tex.height, job.st.addressV);
  if (j0 < 0 || j1 < 0) return false;
  rows->row0 = TexelRow(tex, j0);
  rows->row1 = TexelRow(tex, j1);
  rows->fy = static_cast<uint32_t>(t & 255);
  rows->wy0 = _mm_set1_epi16(static_cast<short>(256 - rows->fy));
  rows->wy1 = _mm_set1_epi16(static_cast<short>(rows->fy));
  return true;
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

// Bilinear, one texel a pixel: the same fraction fx for every pixel, left texel i0 + k.
const uint32_t* LinearOneToOneSpan(const TexelSpanJob& job, int dx, int dy, int n, uint32_t* out,
                                   InPlace inPlace) {
  LinearRows rows;
  if (!LinearRowsAt(job, dx, dy, &rows)) return PerPixelSpan(job, dx, dy, n, out, inPlace);
  const PixelBuffer& tex = job.st.texture;
  const uint32_t alphaOr = TexelAlphaOr(tex);
  const int64_t s = job.su.s.At(dx, dy);
  const int s0 = CoordToSub(s) - 128;
  const int i0 = s0 >> 8;
  const int inFrom = std::clamp(-i0, 0, n);
  const int inTo = std::clamp(tex.width - 1 - i0, inFrom, n);
  const uint32_t fx = static_cast<uint32_t>(s0 & 255);
  // Pixels whose texel pair wraps or clamps across the texture's edge (the first column
  // of the own-size wallpaper) take their two columns one by one.
  const auto edge = [&](int k) {
    const int l = AddressTexel(i0 + k, tex.width, job.st.addressU);
    const int r = AddressTexel(i0 + k + 1, tex.width, job.st.addressU);
    if ((l | r) < 0) {
      return SampleTexture(job.st, job.su, CoordToSub(s + kOneTexel * k),
                           CoordToSub(job.su.t.At(dx, dy)));
    }
    return Lerp256(Lerp256(rows.row0[l], rows.row1[l], rows.fy),
                   Lerp256(rows.row0[r], rows.row1[r], rows.fy), fx) |
           alphaOr;
  };
  for (int k = 0; k < inFrom; ++k) out[k] = edge(k);
  if (inTo > inFrom) {
    LinearRowOneToOne(rows.row0 + i0 + inFrom, rows.row1 + i0 + inFrom, fx, rows.fy, inTo - inFrom,
                      alphaOr, out + inFrom);
  }
  for (int k = inTo; k < n; ++k) out[k] = edge(k);
  return out;
}

// One pixel of a column-table row whose two texels are not adjacent in memory (wrapped,
// clamped or border).
uint32_t LinearColumnEdge(const TexelSpanJob& job, const LinearRows& rows, int dx, int dy, int k) {
  const int32_t l = job.columns.left[static_cast<size_t>(dx + k)];
  const int32_t r = job.columns.right[static_cast<size_t>(dx + k)];
  if ((l | r) < 0) {
    return SampleTexture(job.st, job.su, CoordToSub(job.su.s.At(dx + k, dy)),
                         CoordToSub(job.su.t.At(dx + k, dy)));
  }
  const auto pair = [&](const uint32_t* row) {
    return Widen(uint64_t{row[l]} | uint64_t{row[r]} << 32);
  };
  const __m128i weight =
      _mm_load_si128(reinterpret_cast<const __m128i*>(job.columns.weights[dx + k].lanes));
  const __m128i m =
      _mm_mullo_epi16(Lerp256x8(pair(rows.row0), pair(rows.row1), rows.wy0, rows.wy1), weight);
  const __m128i h = _mm_srli_epi16(
      _mm_add_epi16(_mm_add_epi16(m, _mm_unpackhi_epi64(m, m)), _mm_set1_epi16(128)), 8);
  return static_cast<uint32_t>(_mm_cvtsi128_si32(_mm_packus_epi16(h, h))) |
         TexelAlphaOr(job.st.texture);
}

// The vertical half of bilinear filtering for texels [0, count) of two rows:
// Lerp256(row0[i], row1[i], fy) into mixed[i], a channel per 16-bit lane. Weight 0 is row0
// as it is and 128 the byte average, as in LinearRowOneToOne.
void BlendRows(const uint32_t* row0, const uint32_t* row1, const LinearRows& rows, int count,
               uint64_t* mixed) {
  const __m128i zero = _mm_setzero_si128();
  const auto load = [](const uint32_t* p) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
  };
  const auto store = [&](int i, __m128i lo, __m128i hi) {
    _mm_storeu_si128(reinterpret_cast<__m128i*>(mixed + i), lo);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(mixed + i + 2), hi);
  };
  int i = 0;
  if (rows.fy == 0 || rows.fy == 128) {
    for (; i + 4 <= count; i += 4) {
      const __m128i v =
          rows.fy == 0 ? load(row0 + i) : _mm_avg_epu8(load(row0 + i), load(row1 + i));
      store(i, _mm_unpacklo_epi8(v, zero), _mm_unpackhi_epi8(v, zero));
    }
  } else {
    for (; i + 4 <= count; i += 4) {
      const __m128i a = load(row0 + i), b = load(row1 + i);
      store(i,
            Lerp256x8(_mm_unpacklo_epi8(a, zero), _mm_unpacklo_epi8(b, zero), rows.wy0, rows.wy1),
            Lerp256x8(_mm_unpackhi_epi8(a, zero), _mm_unpackhi_epi8(b, zero), rows.wy0, rows.wy1));
    }
  }
  for (; i < count; ++i) {
    _mm_storel_epi64(reinterpret_cast<__m128i*>(mixed + i),
                     Lerp256x8(Widen(row0[i]), Widen(row1[i]), rows.wy0, rows.wy1));
  }
}

// The horizontal half: pixel k blends mixed[index[k]] and the texel after it, both in one
// 16-byte load, with the weights of its column (left x (256 - fx) + right x fx, rounded).
void BlendColumns(const uint64_t* mixed, const int32_t* index,
                  const LinearColumns::Weights* weights, int n, uint32_t alphaOr, uint32_t* out) {
  const __m128i half = _mm_set1_epi16(128);
  const auto weighted = [&](int k) {
    return _mm_mullo_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(mixed + index[k])),
                           _mm_load_si128(reinterpret_cast<const __m128i*>(weights[k].lanes)));
  };
  // Two pixels' sums, rounded: left halves plus right halves.
  const auto two = [&](__m128i a, __m128i b) {
    const __m128i sum = _mm_add_epi16(_mm_unpacklo_epi64(a, b), _mm_unpackhi_epi64(a, b));
    return _mm_srli_epi16(_mm_add_epi16(sum, half), 8);
  };
  const __m128i alpha = _mm_set1_epi32(static_cast<int>(alphaOr));
  int k = 0;
  for (; k + 4 <= n; k += 4) {
    const __m128i ab = two(weighted(k), weighted(k + 1));
    const __m128i cd = two(weighted(k + 2), weighted(k + 3));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + k),
                     _mm_or_si128(_mm_packus_epi16(ab, cd), alpha));
  }
  for (; k < n; ++k) {
    const __m128i h = two(weighted(k), _mm_setzero_si128());
    out[k] = static_cast<uint32_t>(_mm_cvtsi128_si32(_mm_packus_epi16(h, h))) | alphaOr;
  }
}

// Bilinear along a texel row with the columns of the triangle's table: the two texel rows
// are blended once for the texels the span reaches, then each pixel blends two of those.
// Pixels whose texel pair needs addressing (past the texture's edge) go one by one.
const uint32_t* LinearColumnSpan(const TexelSpanJob& job, int dx, int dy, int n, uint32_t* out,
                                 InPlace inPlace) {
  LinearRows rows;
  if (!LinearRowsAt(job, dx, dy, &rows)) return PerPixelSpan(job, dx, dy, n, out, inPlace);
  const LinearColumns& columns = job.columns;
  const int from = std::clamp(columns.insideFrom - dx, 0, n);
  const int to = std::clamp(columns.insideTo - dx, from, n);
  // The edges last: the texels they reach across to are then in the cache.
  const auto edges = [&] {
    for (int k = 0; k < from; ++k) out[k] = LinearColumnEdge(job, rows, dx, dy, k);
    for (int k = to; k < n; ++k) out[k] = LinearColumnEdge(job, rows, dx, dy, k);
    return out;
  };
  if (from == to) return edges();
  const int32_t* index = columns.index.data() + dx;
  const int lo = std::min(index[from], index[to - 1]);
  const int count = std::max(index[from], index[to - 1]) + 2 - lo;
  // Blended texels sit at their own column, so that a pixel finds its pair by its index.
  static thread_local std::vector<uint64_t> mixed;
  const size_t size = static_cast<size_t>(job.st.texture.width);
  if (mixed.size() < size) mixed.resize(size);
  const uint32_t alphaOr = TexelAlphaOr(job.st.texture);
  if (job.st.avx2) {
    BlendRowsAvx2(rows.row0 + lo, rows.row1 + lo, rows.fy, count, mixed.data() + lo);
    BlendColumnsAvx2(mixed.data(), index + from, columns.weights[dx + from].lanes, to - from,
                     alphaOr, out + from);
  } else {
    BlendRows(rows.row0 + lo, rows.row1 + lo, rows, count, mixed.data() + lo);
    BlendColumns(mixed.data(), index + from, columns.weights.data() + dx + from, to - from, alphaOr,
                 out + from);
  }
  return edges();
}

// Bilinear along a texel row, any step: each pixel finds its own columns.
const uint32_t* LinearRowSpan(const TexelSpanJob& job, int dx, int dy, int n, uint32_t* out,
                              InPlace inPlace) {
  LinearRows rows;
  if (!LinearRowsAt(job, dx, dy, &rows)) return PerPixelSpan(job, dx, dy, n, out, inPlace);
  const PixelBuffer& tex = job.st.texture;
  const __m128i alpha = _mm_set1_epi32(static_cast<int>(TexelAlphaOr(tex)));
  int64_t s = job.su.s.At(dx, dy);
  for (int k = 0; k < n; ++k, s += job.su.s.fx) {
    const int sl = CoordToSub(s) - 128;
    const int i0 = sl >> 8;
    const uint32_t fx = static_cast<uint32_t>(sl & 255);
    if (i0 < 0 || i0 + 1 >= tex.width) {
      out[k] = SampleTexture(job.st, job.su, CoordToSub(s), CoordToSub(job.su.t.At(dx, dy)));
      continue;
    }
    const auto texels = [&](const uint32_t* row) {
      return _mm_unpacklo_epi8(
          _mm_or_si128(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(row + i0)), alpha),
          _mm_setzero_si128());
    };
    const __m128i v = Lerp256x8(texels(rows.row0), texels(rows.row1), rows.wy0, rows.wy1);
    const __m128i h =
        Lerp256x8(v, _mm_unpackhi_epi64(v, v), _mm_set1_epi16(static_cast<short>(256 - fx)),
                  _mm_set1_epi16(static_cast<short>(fx)));
    out[k] = static_cast<uint32_t>(_mm_cvtsi128_si32(_mm_packus_epi16(h, h)));
  }
  return out;
}

void BuildLinearColumns(const RasterState& st, const TriangleSetup& su, LinearColumns* columns) {
  const size_t width = static_cast<size_t>(su.maxX - su.minX);
  columns->index.resize(width);
  columns->left.resize(width);
  columns->right.resize(width);
  columns->weights.resize(width);
  columns->insideFrom = static_cast<int>(width);
  columns->insideTo = 0;
  for (size_t dx = 0; dx < width; ++dx) {
    const int s = CoordToSub(su.s.At(static_cast<int>(dx), 0)) - 128;
    const int i0 = s >> 8;
    const int16_t fx = static_cast<int16_t>(s & 255), rest = static_cast<int16_t>(256 - fx);
    const bool inside = i0 >= 0 && i0 + 1 < st.texture.width;
    columns->index[dx] = inside ? i0 : -1;
    if (inside) {
      columns->insideFrom = std::min(columns->insideFrom, static_cast<int>(dx));
      columns->insideTo = static_cast<int>(dx) + 1;
    }
    columns->left[dx] = AddressTexel(i0, st.texture.width, st.addressU);
    columns->right[dx] = AddressTexel(i0 + 1, st.texture.width, st.addressU);
    columns->weights[dx] = {{rest, rest, rest, rest, fx, fx, fx, fx}};
  }
}

}  // namespace

TexelSpanRoutine ChooseTexelSpan(const RasterState& st, const TriangleSetup& su,
                                 LinearColumns* columns) {
  if (!st.hasTexture) return nullptr;
  const uint32_t filter = su.minify ? st.minFilter : st.magFilter;
  const bool wide = st.texture.format == D3DFMT_A8R8G8B8 || st.texture.format == D3DFMT_X8R8G8B8;
  // The row routines read one or two texel rows per span: t must not change along x.
  if (!wide || su.t.fx != 0) return PerPixelSpan;
  if (filter == D3DTEXF_POINT || filter == D3DTEXF_NONE) return PointRowSpan;
  if (su.s.fx == kOneTexel) return LinearOneToOneSpan;
  if (filter == D3DTEXF_LINEAR && su.s.fy == 0) {
    BuildLinearColumns(st, su, columns);
    return LinearColumnSpan;
  }
  return LinearRowSpan;
}

}  // namespace vm_d3d9
