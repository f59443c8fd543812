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

// Source (16-bit lanes, two halves) over destination: Div255(s x a + d x (255 - a)).
inline __m256i Over16(__m256i sl, __m256i sh, __m256i d) {
  const __m256i zero = _mm256_setzero_si256();
  const __m256i c255 = _mm256_set1_epi16(255);
  const __m256i dl = _mm256_unpacklo_epi8(d, zero), dh = _mm256_unpackhi_epi8(d, zero);
  const __m256i al = _mm256_shufflehi_epi16(_mm256_shufflelo_epi16(sl, 0xFF), 0xFF);
  const __m256i ah = _mm256_shufflehi_epi16(_mm256_shufflelo_epi16(sh, 0xFF), 0xFF);
  const __m256i rl = Div255x16(_mm256_add_epi16(
      _mm256_mullo_epi16(sl, al), _mm256_mullo_epi16(dl, _mm256_sub_epi16(c255, al))));
  const __m256i rh = Div255x16(_mm256_add_epi16(
      _mm256_mullo_epi16(sh, ah), _mm256_mullo_epi16(dh, _mm256_sub_epi16(c255, ah))));
  return _mm256_packus_epi16(rl, rh);
}

}  // namespace

void ModulateSpanAvx2(uint32_t color, int n, uint32_t* p) {
  const __m256i zero = _mm256_setzero_si256();
  const __m256i c = _mm256_unpacklo_epi8(_mm256_set1_epi32(static_cast<int>(color)), zero);
  for (int k = 0; k < n; k += 8) {
    const int m = std::min(8, n - k);
    const __m256i mask = TailMask(m);
    const __m256i v = Load(p + k, m, mask);
    const __m256i lo = Div255x16(_mm256_mullo_epi16(_mm256_unpacklo_epi8(v, zero), c));
    const __m256i hi = Div255x16(_mm256_mullo_epi16(_mm256_unpackhi_epi8(v, zero), c));
    Store(p + k, _mm256_packus_epi16(lo, hi), m, mask);
  }
}

void OverSpanAvx2(const uint32_t* src, uint32_t* dst, int n, uint32_t dstAlphaOr) {
  const __m256i zero = _mm256_setzero_si256();
  const __m256i alphaMask = _mm256_set1_epi32(static_cast<int>(0xFF000000u));
  const __m256i dstOr = _mm256_set1_epi32(static_cast<int>(dstAlphaOr));
  for (int k = 0; k < n; k += 8) {
    const int m = std::min(8, n - k);
    const __m256i mask = TailMask(m);
    const __m256i s = Load(src + k, m, mask);
    const __m256i a = _mm256_and_si256(s, alphaMask);
    if (m == 8) {
      if (_mm256_movemask_epi8(_mm256_cmpeq_epi32(a, alphaMask)) == -1) {
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst + k), _mm256_or_si256(s, dstOr));
        continue;
      }
      if (_mm256_movemask_epi8(_mm256_cmpeq_epi32(a, zero)) == -1) continue;
    }
    const __m256i d = _mm256_or_si256(Load(dst + k, m, mask), dstOr);
    const __m256i r = Over16(_mm256_unpacklo_epi8(s, zero), _mm256_unpackhi_epi8(s, zero), d);
    Store(dst + k, _mm256_or_si256(r, dstOr), m, mask);
  }
}

void ModulateOverSpanAvx2(const uint32_t* src, uint32_t color, uint32_t* dst, int n,
                          uint32_t dstAlphaOr) {
  const __m256i zero = _mm256_setzero_si256();
  const __m256i c = _mm256_unpacklo_epi8(_mm256_set1_epi32(static_cast<int>(color)), zero);
  const __m256i alphaMask = _mm256_set1_epi32(static_cast<int>(0xFF000000u));
  const __m256i dstOr = _mm256_set1_epi32(static_cast<int>(dstAlphaOr));
  const bool opaqueColor = color >> 24 == 255;
  for (int k = 0; k < n; k += 8) {
    const int m = std::min(8, n - k);
    const __m256i mask = TailMask(m);
    const __m256i t = Load(src + k, m, mask);
    const __m256i a = _mm256_and_si256(t, alphaMask);
    // Texel alpha 0 stays 0 after modulation: the destination is kept.
    if (m == 8 && _mm256_movemask_epi8(_mm256_cmpeq_epi32(a, zero)) == -1) continue;
    const __m256i sl = Div255x16(_mm256_mullo_epi16(_mm256_unpacklo_epi8(t, zero), c));
    const __m256i sh = Div255x16(_mm256_mullo_epi16(_mm256_unpackhi_epi8(t, zero), c));
    if (m == 8 && opaqueColor && _mm256_movemask_epi8(_mm256_cmpeq_epi32(a, alphaMask)) == -1) {
      _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst + k),
                          _mm256_or_si256(_mm256_packus_epi16(sl, sh), dstOr));
      continue;
    }
    const __m256i d = _mm256_or_si256(Load(dst + k, m, mask), dstOr);
    Store(dst + k, _mm256_or_si256(Over16(sl, sh, d), dstOr), m, mask);
  }
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
