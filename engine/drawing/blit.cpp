#include "engine/drawing/blit.h"

#include <cstring>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define SKARVEL_BLIT_AVX2 1
#endif

namespace {

void BlitRowKeyedPortable(uint32_t* dst, const uint32_t* src, int count, uint32_t key) {
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

#if defined(SKARVEL_BLIT_AVX2)
// Eight pixels at a time where the processor has AVX2 (the build itself targets the baseline);
// stretches all transparent are not written, all opaque ones are written without reading.
__attribute__((target("avx2"))) void BlitRowKeyedAvx2(uint32_t* dst, const uint32_t* src, int count,
                                                      uint32_t key) {
  int i = 0;
  const __m256i keys = _mm256_set1_epi32(static_cast<int>(key));
  for (; i + 8 <= count; i += 8) {
    const __m256i s = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src + i));
    const __m256i transparent = _mm256_cmpeq_epi32(s, keys);
    const int mask = _mm256_movemask_epi8(transparent);
    if (mask == -1) continue;
    auto* out = reinterpret_cast<__m256i*>(dst + i);
    if (mask == 0) {
      _mm256_storeu_si256(out, s);
      continue;
    }
    const __m256i d = _mm256_loadu_si256(out);
    _mm256_storeu_si256(out, _mm256_blendv_epi8(s, d, transparent));
  }
  for (; i < count; ++i) {
    if (src[i] != key) dst[i] = src[i];
  }
}

using KeyedBlit = void (*)(uint32_t*, const uint32_t*, int, uint32_t);
// Chosen once, while the program's statics are set up: the processor's features are read first.
const KeyedBlit ChosenKeyedBlit = [] {
  __builtin_cpu_init();
  return __builtin_cpu_supports("avx2") ? BlitRowKeyedAvx2 : BlitRowKeyedPortable;
}();
#endif

}  // namespace

void BlitRow(uint32_t* dst, const uint32_t* src, int count) {
  if (count > 0) std::memcpy(dst, src, static_cast<size_t>(count) * sizeof(uint32_t));
}

void BlitRowKeyed(uint32_t* dst, const uint32_t* src, int count, uint32_t key) {
#if defined(SKARVEL_BLIT_AVX2)
  ChosenKeyedBlit(dst, src, count, key);
#else
  BlitRowKeyedPortable(dst, src, count, key);
#endif
}

void BlitRowKeyedWithout256Bits(uint32_t* dst, const uint32_t* src, int count, uint32_t key) {
  BlitRowKeyedPortable(dst, src, count, key);
}
