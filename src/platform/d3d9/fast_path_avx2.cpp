// AVX2 versions of the fast path's span loops, eight pixels a step; compiled for AVX2 and
// called only when the processor has it. The arithmetic is that of the SSE2 loops.
#include <immintrin.h>

#include "platform/d3d9/raster_internal.h"

namespace vm_d3d9 {
namespace {

inline __m256i Div255x16(__m256i t) {
  t = _mm256_add_epi16(t, _mm256_set1_epi16(128));
  return _mm256_srli_epi16(_mm256_add_epi16(t, _mm256_srli_epi16(t, 8)), 8);
}

}  // namespace

void ModulateSpanAvx2(uint32_t color, int n, uint32_t* p) {
  const __m256i zero = _mm256_setzero_si256();
  const __m256i c = _mm256_unpacklo_epi8(_mm256_set1_epi32(static_cast<int>(color)), zero);
  int k = 0;
  for (; k + 8 <= n; k += 8) {
    const __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + k));
    const __m256i lo = Div255x16(_mm256_mullo_epi16(_mm256_unpacklo_epi8(v, zero), c));
    const __m256i hi = Div255x16(_mm256_mullo_epi16(_mm256_unpackhi_epi8(v, zero), c));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(p + k), _mm256_packus_epi16(lo, hi));
  }
  if (k < n) ModulateSpan(color, n - k, p + k);
}

void OverSpanAvx2(const uint32_t* src, uint32_t* dst, int n, uint32_t dstAlphaOr) {
  const __m256i zero = _mm256_setzero_si256();
  const __m256i c255 = _mm256_set1_epi16(255);
  const __m256i alphaMask = _mm256_set1_epi32(static_cast<int>(0xFF000000u));
  const __m256i dstOr = _mm256_set1_epi32(static_cast<int>(dstAlphaOr));
  int k = 0;
  for (; k + 8 <= n; k += 8) {
    const __m256i s = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src + k));
    const __m256i a = _mm256_and_si256(s, alphaMask);
    if (_mm256_movemask_epi8(_mm256_cmpeq_epi32(a, alphaMask)) == -1) {
      _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst + k), _mm256_or_si256(s, dstOr));
      continue;
    }
    if (_mm256_movemask_epi8(_mm256_cmpeq_epi32(a, zero)) == -1) continue;
    const __m256i d = _mm256_or_si256(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(dst + k)), dstOr);
    const __m256i sl = _mm256_unpacklo_epi8(s, zero), sh = _mm256_unpackhi_epi8(s, zero);
    const __m256i dl = _mm256_unpacklo_epi8(d, zero), dh = _mm256_unpackhi_epi8(d, zero);
    const __m256i al = _mm256_shufflehi_epi16(_mm256_shufflelo_epi16(sl, 0xFF), 0xFF);
    const __m256i ah = _mm256_shufflehi_epi16(_mm256_shufflelo_epi16(sh, 0xFF), 0xFF);
    const __m256i rl = Div255x16(
        _mm256_add_epi16(_mm256_mullo_epi16(sl, al), _mm256_mullo_epi16(dl, _mm256_sub_epi16(c255, al))));
    const __m256i rh = Div255x16(
        _mm256_add_epi16(_mm256_mullo_epi16(sh, ah), _mm256_mullo_epi16(dh, _mm256_sub_epi16(c255, ah))));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst + k), _mm256_or_si256(_mm256_packus_epi16(rl, rh), dstOr));
  }
  if (k < n) OverSpan(src + k, dst + k, n - k, dstAlphaOr);
}

}  // namespace vm_d3d9
