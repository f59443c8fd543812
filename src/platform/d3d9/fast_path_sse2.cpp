// The fast path's loops with SSE2, which every x86-64 processor has: four pixels a step,
// the last one to three through partial loads and stores. Each loop runs one operation
// over a whole RectJob; fast_path_avx2.cpp has the same loops eight pixels a step.
#include <emmintrin.h>

#include <algorithm>
#include <cstring>

#include "platform/d3d9/fast_path.h"

namespace vm_d3d9 {
namespace {

// Pixels [0, count) of p, 1 <= count <= 4, in the low lanes; the others are zero. Nothing
// past p[count - 1] is read.
inline __m128i Load(const uint32_t* p, int count) {
  if (count == 4) return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
  if (count == 1) return _mm_cvtsi32_si128(static_cast<int>(p[0]));
  const __m128i two = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(p));
  if (count == 2) return two;
  return _mm_unpacklo_epi64(two, _mm_cvtsi32_si128(static_cast<int>(p[2])));
}

// Writes the low `count` lanes of v to p[0 .. count).
inline void Store(uint32_t* p, __m128i v, int count) {
  if (count == 4) {
    _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v);
  } else if (count == 1) {
    p[0] = static_cast<uint32_t>(_mm_cvtsi128_si32(v));
  } else {
    _mm_storel_epi64(reinterpret_cast<__m128i*>(p), v);
    if (count == 3) p[2] = static_cast<uint32_t>(_mm_cvtsi128_si32(_mm_unpackhi_epi64(v, v)));
  }
}

// Calls group(k, count) for the row's pixels four at a time, then for the rest.
template <typename Group>
inline void EachGroup(int n, Group group) {
  int k = 0;
  for (; k + 4 <= n; k += 4) group(k, 4);
  if (k < n) group(k, n - k);
}

// Calls row(src, dst) for every row of the job.
template <typename Row>
inline void EachRow(const RectJob& job, Row row) {
  const uint32_t* src = job.src;
  uint32_t* dst = job.dst;
  for (int y = 0; y < job.height; ++y, src += job.srcPitch, dst += job.dstPitch) row(src, dst);
}

inline bool AllLanes(__m128i a, __m128i b) {
  return _mm_movemask_epi8(_mm_cmpeq_epi32(a, b)) == 0xFFFF;
}

// Div255 on eight 16-bit lanes (t <= 255 x 255 fits unsigned 16 bits with the 128 added).
inline __m128i Div255x8(__m128i t) {
  t = _mm_add_epi16(t, _mm_set1_epi16(128));
  return _mm_srli_epi16(_mm_add_epi16(t, _mm_srli_epi16(t, 8)), 8);
}

inline __m128i MulDiv255x8(__m128i x, __m128i y) { return Div255x8(_mm_mullo_epi16(x, y)); }

// Div255(s x a + d x (255 - a)) on two pixels' 16-bit lanes, a being s's alpha.
inline __m128i Over8(__m128i s, __m128i d) {
  const __m128i a = _mm_shufflehi_epi16(_mm_shufflelo_epi16(s, 0xFF), 0xFF);
  return Div255x8(_mm_add_epi16(_mm_mullo_epi16(s, a),
                                _mm_mullo_epi16(d, _mm_sub_epi16(_mm_set1_epi16(255), a))));
}

inline __m128i Lo16(__m128i v) { return _mm_unpacklo_epi8(v, _mm_setzero_si128()); }
inline __m128i Hi16(__m128i v) { return _mm_unpackhi_epi8(v, _mm_setzero_si128()); }

inline __m128i AlphaMask() { return _mm_set1_epi32(static_cast<int>(0xFF000000u)); }

// Modulated source pixels (16-bit lanes) over the destination's `count` pixels; a group
// whose texels are all opaque under an opaque colour simply replaces them.
inline void ModulatedOver(__m128i sl, __m128i sh, bool opaque, uint32_t* d, int count,
                          __m128i dstOr) {
  if (opaque) {
    Store(d, _mm_or_si128(_mm_packus_epi16(sl, sh), dstOr), count);
    return;
  }
  const __m128i dv = _mm_or_si128(Load(d, count), dstOr);
  Store(d, _mm_or_si128(_mm_packus_epi16(Over8(sl, Lo16(dv)), Over8(sh, Hi16(dv))), dstOr), count);
}

}  // namespace

void FillRect(const RectJob& job) {
  const uint32_t value = job.color | job.dstAlphaOr;
  EachRow(job, [&](const uint32_t*, uint32_t* d) { std::fill(d, d + job.width, value); });
}

void CopyRect(const RectJob& job) {
  const size_t bytes = static_cast<size_t>(job.width) * 4;
  EachRow(job, [&](const uint32_t* s, uint32_t* d) {
    if (s != d) std::memcpy(d, s, bytes);
    if (job.dstAlphaOr != 0)
      for (int k = 0; k < job.width; ++k) d[k] |= job.dstAlphaOr;
  });
}

void ConstantOverRect(const RectJob& job) {
  const uint32_t alpha = job.color >> 24;
  if (alpha == 0) return;  // every pixel keeps its value
  // s x a is the same for every pixel: only d x (255 - a) is left per pixel.
  const __m128i s = Lo16(_mm_set1_epi32(static_cast<int>(job.color)));
  const __m128i sa = _mm_mullo_epi16(s, _mm_set1_epi16(static_cast<short>(alpha)));
  const __m128i rest = _mm_set1_epi16(static_cast<short>(255 - alpha));
  const __m128i dstOr = _mm_set1_epi32(static_cast<int>(job.dstAlphaOr));
  EachRow(job, [&](const uint32_t*, uint32_t* d) {
    EachGroup(job.width, [&](int k, int count) {
      const __m128i dv = _mm_or_si128(Load(d + k, count), dstOr);
      const __m128i lo = Div255x8(_mm_add_epi16(sa, _mm_mullo_epi16(Lo16(dv), rest)));
      const __m128i hi = Div255x8(_mm_add_epi16(sa, _mm_mullo_epi16(Hi16(dv), rest)));
      Store(d + k, _mm_or_si128(_mm_packus_epi16(lo, hi), dstOr), count);
    });
  });
}

void OverRect(const RectJob& job) {
  const __m128i zero = _mm_setzero_si128();
  const __m128i alphaMask = AlphaMask();
  const __m128i dstOr = _mm_set1_epi32(static_cast<int>(job.dstAlphaOr));
  EachRow(job, [&](const uint32_t* s, uint32_t* d) {
    EachGroup(job.width, [&](int k, int count) {
      const __m128i sv = Load(s + k, count);
      const __m128i a = _mm_and_si128(sv, alphaMask);
      if (AllLanes(a, alphaMask)) {
        Store(d + k, _mm_or_si128(sv, dstOr), count);
        return;
      }
      if (AllLanes(a, zero)) return;
      const __m128i dv = _mm_or_si128(Load(d + k, count), dstOr);
      Store(d + k,
            _mm_or_si128(_mm_packus_epi16(Over8(Lo16(sv), Lo16(dv)), Over8(Hi16(sv), Hi16(dv))),
                         dstOr),
            count);
    });
  });
}

void ModulateRect(const RectJob& job) {
  const __m128i c = Lo16(_mm_set1_epi32(static_cast<int>(job.color)));
  const __m128i dstOr = _mm_set1_epi32(static_cast<int>(job.dstAlphaOr));
  EachRow(job, [&](const uint32_t* s, uint32_t* d) {
    EachGroup(job.width, [&](int k, int count) {
      const __m128i v = Load(s + k, count);
      const __m128i m = _mm_packus_epi16(MulDiv255x8(Lo16(v), c), MulDiv255x8(Hi16(v), c));
      Store(d + k, _mm_or_si128(m, dstOr), count);
    });
  });
}

void ModulateOverRect(const RectJob& job) {
  const __m128i zero = _mm_setzero_si128();
  const __m128i alphaMask = AlphaMask();
  const __m128i c = Lo16(_mm_set1_epi32(static_cast<int>(job.color)));
  const __m128i dstOr = _mm_set1_epi32(static_cast<int>(job.dstAlphaOr));
  const bool opaqueColor = job.color >> 24 == 255;
  EachRow(job, [&](const uint32_t* s, uint32_t* d) {
    EachGroup(job.width, [&](int k, int count) {
      const __m128i t = Load(s + k, count);
      const __m128i a = _mm_and_si128(t, alphaMask);
      // Texel alpha 0 stays 0 after modulation: the destination is kept.
      if (AllLanes(a, zero)) return;
      ModulatedOver(MulDiv255x8(Lo16(t), c), MulDiv255x8(Hi16(t), c),
                    opaqueColor && AllLanes(a, alphaMask), d + k, count, dstOr);
    });
  });
}

}  // namespace vm_d3d9
