// AVX2 versions of the fast path's span loops, eight pixels a step; compiled for AVX2 and
// called only when the processor has it. The arithmetic is that of the SSE2 loops.
#include <immintrin.h>

#include <algorithm>

#include "platform/d3d9/fast_path.h"
#include "platform/d3d9/texel_spans.h"

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

void BlendRowsAvx2(const uint32_t* row0, const uint32_t* row1, uint32_t fy, int count,
                   uint64_t* mixed) {
  const __m256i half = _mm256_set1_epi16(128);
  const __m256i wy0 = _mm256_set1_epi16(static_cast<short>(256 - fy));
  const __m256i wy1 = _mm256_set1_epi16(static_cast<short>(fy));
  // Four texels a step, widened in order: a channel per 16-bit lane.
  const auto four = [](const uint32_t* p) {
    return _mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)));
  };
  const auto lerp = [&](__m256i a, __m256i b) {
    return _mm256_srli_epi16(
        _mm256_add_epi16(_mm256_add_epi16(_mm256_mullo_epi16(a, wy0), _mm256_mullo_epi16(b, wy1)),
                         half),
        8);
  };
  // Weight 0 is row0 as it is and 128 the rounded mean (a + b + 1) >> 1.
  const auto rows = [&](auto blend) {
    int i = 0;
    for (; i + 4 <= count; i += 4) {
      _mm256_storeu_si256(reinterpret_cast<__m256i*>(mixed + i),
                          blend(four(row0 + i), four(row1 + i)));
    }
    for (; i < count; ++i) {
      const __m256i v = blend(_mm256_cvtepu8_epi16(_mm_cvtsi32_si128(static_cast<int>(row0[i]))),
                              _mm256_cvtepu8_epi16(_mm_cvtsi32_si128(static_cast<int>(row1[i]))));
      _mm_storel_epi64(reinterpret_cast<__m128i*>(mixed + i), _mm256_castsi256_si128(v));
    }
  };
  if (fy == 0) {
    rows([](__m256i a, __m256i) { return a; });
  } else if (fy == 128) {
    rows([](__m256i a, __m256i b) { return _mm256_avg_epu16(a, b); });
  } else {
    rows(lerp);
  }
}

void BlendColumnsAvx2(const uint64_t* mixed, const int32_t* index, const int16_t* weights, int n,
                      uint32_t alphaOr, uint32_t* out) {
  const __m256i half = _mm256_set1_epi16(128);
  const auto pair = [&](int k) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(mixed + index[k]));
  };
  // Pixels k and k + 1, each texel pair times its weights.
  const auto weighted = [&](int k) {
    const __m256i texels = _mm256_inserti128_si256(_mm256_castsi128_si256(pair(k)), pair(k + 1), 1);
    return _mm256_mullo_epi16(
        texels, _mm256_loadu_si256(reinterpret_cast<const __m256i*>(weights + 8 * k)));
  };
  // Left halves plus right halves, rounded: pixels k, k + 2 in the low lane, k + 1, k + 3
  // in the high one.
  const auto four = [&](int k) {
    const __m256i a = weighted(k), b = weighted(k + 2);
    const __m256i sum = _mm256_add_epi16(_mm256_unpacklo_epi64(a, b), _mm256_unpackhi_epi64(a, b));
    return _mm256_srli_epi16(_mm256_add_epi16(sum, half), 8);
  };
  const __m256i order = _mm256_setr_epi32(0, 4, 1, 5, 2, 6, 3, 7);
  const __m256i alpha = _mm256_set1_epi32(static_cast<int>(alphaOr));
  int k = 0;
  for (; k + 8 <= n; k += 8) {
    const __m256i packed = _mm256_packus_epi16(four(k), four(k + 4));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + k),
                        _mm256_or_si256(_mm256_permutevar8x32_epi32(packed, order), alpha));
  }
  for (; k < n; ++k) {
    const __m128i m =
        _mm_mullo_epi16(pair(k), _mm_load_si128(reinterpret_cast<const __m128i*>(weights + 8 * k)));
    const __m128i h = _mm_srli_epi16(
        _mm_add_epi16(_mm_add_epi16(m, _mm_unpackhi_epi64(m, m)), _mm_set1_epi16(128)), 8);
    out[k] = static_cast<uint32_t>(_mm_cvtsi128_si32(_mm_packus_epi16(h, h))) | alphaOr;
  }
}

}  // namespace vm_d3d9
