// AVX2 versions of the fast path's span loops, eight pixels a step; compiled for AVX2 and
// called only when the processor has it. The arithmetic is that of the SSE2 loops.
#include <immintrin.h>

#include <algorithm>

#include "platform/d3d9/raster_internal.h"

namespace vm_d3d9 {
namespace {

inline __m256i Div255x16(__m256i t) {
  t = _mm256_add_epi16(t, _mm256_set1_epi16(128));
  return _mm256_srli_epi16(_mm256_add_epi16(t, _mm256_srli_epi16(t, 8)), 8);
}

// Lanes 0 .. n - 1 set, for a last group of n < 8 pixels.
inline __m256i TailMask(int n) {
  return _mm256_cmpgt_epi32(_mm256_set1_epi32(n), _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7));
}

inline __m256i Load(const uint32_t* p, int n, __m256i mask) {
  return n == 8 ? _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p))
                : _mm256_maskload_epi32(reinterpret_cast<const int*>(p), mask);
}

inline void Store(uint32_t* p, __m256i v, int n, __m256i mask) {
  if (n == 8) {
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), v);
  } else {
    _mm256_maskstore_epi32(reinterpret_cast<int*>(p), mask, v);
  }
}

// Calls group(k, count, mask) for the row's pixels eight at a time, then for the rest
// (mask: the lanes of the last group).
template <typename Group>
inline void EachGroup(int n, Group group) {
  int k = 0;
  const __m256i all = _mm256_set1_epi32(-1);
  for (; k + 8 <= n; k += 8) group(k, 8, all);
  if (k < n) group(k, n - k, TailMask(n - k));
}

// Calls row(src, dst) for every row of the job.
template <typename Row>
inline void EachRow(const RectJob& job, Row row) {
  const uint32_t* src = job.src;
  uint32_t* dst = job.dst;
  for (int y = 0; y < job.height; ++y, src += job.srcPitch, dst += job.dstPitch) row(src, dst);
}

inline bool AllLanes(__m256i a, __m256i b) {
  return _mm256_movemask_epi8(_mm256_cmpeq_epi32(a, b)) == -1;
}

inline __m256i Lo16(__m256i v) { return _mm256_unpacklo_epi8(v, _mm256_setzero_si256()); }
inline __m256i Hi16(__m256i v) { return _mm256_unpackhi_epi8(v, _mm256_setzero_si256()); }

// Source (16-bit lanes, two halves) over destination: Div255(s x a + d x (255 - a)).
inline __m256i Over16(__m256i sl, __m256i sh, __m256i d) {
  const __m256i c255 = _mm256_set1_epi16(255);
  const __m256i al = _mm256_shufflehi_epi16(_mm256_shufflelo_epi16(sl, 0xFF), 0xFF);
  const __m256i ah = _mm256_shufflehi_epi16(_mm256_shufflelo_epi16(sh, 0xFF), 0xFF);
  const __m256i rl = Div255x16(_mm256_add_epi16(
      _mm256_mullo_epi16(sl, al), _mm256_mullo_epi16(Lo16(d), _mm256_sub_epi16(c255, al))));
  const __m256i rh = Div255x16(_mm256_add_epi16(
      _mm256_mullo_epi16(sh, ah), _mm256_mullo_epi16(Hi16(d), _mm256_sub_epi16(c255, ah))));
  return _mm256_packus_epi16(rl, rh);
}

}  // namespace

void ConstantOverRectAvx2(const RectJob& job) {
  const uint32_t alpha = job.color >> 24;
  if (alpha == 0) return;  // every pixel keeps its value
  // s x a is the same for every pixel: only d x (255 - a) is left per pixel.
  const __m256i sa = _mm256_mullo_epi16(Lo16(_mm256_set1_epi32(static_cast<int>(job.color))),
                                        _mm256_set1_epi16(static_cast<short>(alpha)));
  const __m256i rest = _mm256_set1_epi16(static_cast<short>(255 - alpha));
  const __m256i dstOr = _mm256_set1_epi32(static_cast<int>(job.dstAlphaOr));
  EachRow(job, [&](const uint32_t*, uint32_t* d) {
    EachGroup(job.width, [&](int k, int count, __m256i mask) {
      const __m256i dv = _mm256_or_si256(Load(d + k, count, mask), dstOr);
      const __m256i lo = Div255x16(_mm256_add_epi16(sa, _mm256_mullo_epi16(Lo16(dv), rest)));
      const __m256i hi = Div255x16(_mm256_add_epi16(sa, _mm256_mullo_epi16(Hi16(dv), rest)));
      Store(d + k, _mm256_or_si256(_mm256_packus_epi16(lo, hi), dstOr), count, mask);
    });
  });
}

void OverRectAvx2(const RectJob& job) {
  const __m256i zero = _mm256_setzero_si256();
  const __m256i alphaMask = _mm256_set1_epi32(static_cast<int>(0xFF000000u));
  const __m256i dstOr = _mm256_set1_epi32(static_cast<int>(job.dstAlphaOr));
  EachRow(job, [&](const uint32_t* s, uint32_t* d) {
    EachGroup(job.width, [&](int k, int count, __m256i mask) {
      const __m256i sv = Load(s + k, count, mask);
      const __m256i a = _mm256_and_si256(sv, alphaMask);
      // Lanes past the row's end read as clear: they never make a group opaque.
      if (AllLanes(a, alphaMask)) {
        Store(d + k, _mm256_or_si256(sv, dstOr), count, mask);
        return;
      }
      if (AllLanes(a, zero)) return;
      const __m256i dv = _mm256_or_si256(Load(d + k, count, mask), dstOr);
      Store(d + k, _mm256_or_si256(Over16(Lo16(sv), Hi16(sv), dv), dstOr), count, mask);
    });
  });
}

void ModulateRectAvx2(const RectJob& job) {
  const __m256i c = Lo16(_mm256_set1_epi32(static_cast<int>(job.color)));
  const __m256i dstOr = _mm256_set1_epi32(static_cast<int>(job.dstAlphaOr));
  EachRow(job, [&](const uint32_t* s, uint32_t* d) {
    EachGroup(job.width, [&](int k, int count, __m256i mask) {
      const __m256i v = Load(s + k, count, mask);
      const __m256i lo = Div255x16(_mm256_mullo_epi16(Lo16(v), c));
      const __m256i hi = Div255x16(_mm256_mullo_epi16(Hi16(v), c));
      Store(d + k, _mm256_or_si256(_mm256_packus_epi16(lo, hi), dstOr), count, mask);
    });
  });
}

void ModulateOverRectAvx2(const RectJob& job) {
  const __m256i zero = _mm256_setzero_si256();
  const __m256i c = Lo16(_mm256_set1_epi32(static_cast<int>(job.color)));
  const __m256i alphaMask = _mm256_set1_epi32(static_cast<int>(0xFF000000u));
  const __m256i dstOr = _mm256_set1_epi32(static_cast<int>(job.dstAlphaOr));
  const bool opaqueColor = job.color >> 24 == 255;
  EachRow(job, [&](const uint32_t* s, uint32_t* d) {
    EachGroup(job.width, [&](int k, int count, __m256i mask) {
      const __m256i t = Load(s + k, count, mask);
      const __m256i a = _mm256_and_si256(t, alphaMask);
      // Texel alpha 0 stays 0 after modulation: the destination is kept.
      if (AllLanes(a, zero)) return;
      const __m256i sl = Div255x16(_mm256_mullo_epi16(Lo16(t), c));
      const __m256i sh = Div255x16(_mm256_mullo_epi16(Hi16(t), c));
      if (opaqueColor && AllLanes(a, alphaMask)) {
        Store(d + k, _mm256_or_si256(_mm256_packus_epi16(sl, sh), dstOr), count, mask);
        return;
      }
      const __m256i dv = _mm256_or_si256(Load(d + k, count, mask), dstOr);
      Store(d + k, _mm256_or_si256(Over16(sl, sh, dv), dstOr), count, mask);
    });
  });
}

int LinearSpanAvx2(const uint32_t* row0, const uint32_t* row1, uint32_t fy, const int32_t* index,
                   const int16_t* weights, int n, uint32_t alphaOr, uint32_t* out) {
  const __m256i zero = _mm256_setzero_si256();
  const __m256i half = _mm256_set1_epi16(128);
  const __m256i wy0 = _mm256_set1_epi16(static_cast<short>(256 - fy));
  const __m256i wy1 = _mm256_set1_epi16(static_cast<short>(fy));
  const __m128i alpha = _mm_set1_epi32(static_cast<int>(alphaOr));
  auto pair = [](const uint32_t* row, int32_t i) {
    return _mm_loadl_epi64(reinterpret_cast<const __m128i*>(row + i));
  };
  auto weight = [&](int k) {
    return _mm_load_si128(reinterpret_cast<const __m128i*>(weights + 8 * k));
  };
  int k = 0;
  for (; k + 4 <= n; k += 4) {
    const int32_t iA = index[k], iB = index[k + 1], iC = index[k + 2], iD = index[k + 3];
    if ((iA | iB | iC | iD) < 0) break;
    // Lanes: pixels k and k + 2 in one register, k + 1 and k + 3 in the other.
    const __m256i r0 = _mm256_set_m128i(_mm_unpacklo_epi64(pair(row0, iC), pair(row0, iD)),
                                        _mm_unpacklo_epi64(pair(row0, iA), pair(row0, iB)));
    const __m256i r1 = _mm256_set_m128i(_mm_unpacklo_epi64(pair(row1, iC), pair(row1, iD)),
                                        _mm_unpacklo_epi64(pair(row1, iA), pair(row1, iB)));
    const __m256i vAC = _mm256_srli_epi16(
        _mm256_add_epi16(_mm256_add_epi16(_mm256_mullo_epi16(_mm256_unpacklo_epi8(r0, zero), wy0),
                                          _mm256_mullo_epi16(_mm256_unpacklo_epi8(r1, zero), wy1)),
                         half),
        8);
    const __m256i vBD = _mm256_srli_epi16(
        _mm256_add_epi16(_mm256_add_epi16(_mm256_mullo_epi16(_mm256_unpackhi_epi8(r0, zero), wy0),
                                          _mm256_mullo_epi16(_mm256_unpackhi_epi8(r1, zero), wy1)),
                         half),
        8);
    const __m256i mAC = _mm256_mullo_epi16(vAC, _mm256_set_m128i(weight(k + 2), weight(k)));
    const __m256i mBD = _mm256_mullo_epi16(vBD, _mm256_set_m128i(weight(k + 3), weight(k + 1)));
    const __m256i sum =
        _mm256_add_epi16(_mm256_unpacklo_epi64(mAC, mBD), _mm256_unpackhi_epi64(mAC, mBD));
    const __m256i h = _mm256_srli_epi16(_mm256_add_epi16(sum, half), 8);
    const __m256i packed = _mm256_permute4x64_epi64(_mm256_packus_epi16(h, h), 0xD8);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + k),
                     _mm_or_si128(_mm256_castsi256_si128(packed), alpha));
  }
  return k;
}

}  // namespace vm_d3d9
