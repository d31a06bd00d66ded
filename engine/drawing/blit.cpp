#include "engine/drawing/blit.h"

#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

void BlitRow(uint32_t* dst, const uint32_t* src, int count) {
  if (count > 0) std::memcpy(dst, src, static_cast<size_t>(count) * sizeof(uint32_t));
}

void BlitRowKeyed(uint32_t* dst, const uint32_t* src, int count, uint32_t key) {
  int i = 0;
#if defined(__SSE2__)
  const __m128i keys = _mm_set1_epi32(static_cast<int>(key));
  for (; i + 4 <= count; i += 4) {
    const __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i));
    const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(dst + i));
    const __m128i transparent = _mm_cmpeq_epi32(s, keys);
    const __m128i merged =
        _mm_or_si128(_mm_and_si128(transparent, d), _mm_andnot_si128(transparent, s));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i), merged);
  }
#endif
  for (; i < count; ++i) {
    if (src[i] != key) dst[i] = src[i];
  }
}
